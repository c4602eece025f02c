#include "platform/codepages/training/MessageCatalog.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdint>
#include <cstring>

namespace platform::codepages {

namespace {

// The catalog's numbers are 32-bit words in the byte order of the machine that wrote it,
// which the magic number at its start tells.
class Words {
public:
    explicit Words(const QByteArray& bytes)
        : m_bytes(bytes)
    {
        const std::uint32_t magic = Raw(0);
        m_swapped = magic == 0xDE120495u;
        m_valid = magic == 0x950412DEu || m_swapped;
    }

    bool Valid() const { return m_valid; }

    // The word at offset, or 0 when the catalog ends before it.
    std::uint32_t At(std::uint64_t offset) const
    {
        const std::uint32_t word = Raw(offset);
        return m_swapped ? __builtin_bswap32(word) : word;
    }

private:
    std::uint32_t Raw(std::uint64_t offset) const
    {
        std::uint32_t word = 0;
        if (offset + sizeof word <= static_cast<std::uint64_t>(m_bytes.size()))
            std::memcpy(&word, m_bytes.constData() + offset, sizeof word);
        return word;
    }

    const QByteArray& m_bytes;
    bool m_swapped {false};
    bool m_valid {false};
};

} // namespace

QStringList MessageCatalog::Translations(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const Words words(bytes);
    if (!words.Valid())
        return {};
    const std::uint32_t count = words.At(8);
    const std::uint32_t originals = words.At(12);
    const std::uint32_t translations = words.At(16);
    QStringList texts;
    for (std::uint64_t entry = 0; entry < count; ++entry) {
        const std::uint32_t originalLength = words.At(originals + 8 * entry);
        const std::uint32_t length = words.At(translations + 8 * entry);
        const std::uint32_t offset = words.At(translations + 8 * entry + 4);
        // The entry with an empty original is the catalog's header, no translation.
        if (originalLength == 0 || std::uint64_t(offset) + length > std::uint64_t(bytes.size()))
            continue;
        // Plural forms follow one another, each ended by a NUL.
        for (const QByteArray& form : bytes.mid(offset, length).split('\0')) {
            QStringDecoder utf8(QStringConverter::Utf8);
            QString text = utf8.decode(form);
            if (!utf8.hasError() && !text.isEmpty())
                texts.append(text);
        }
    }
    return texts;
}

} // namespace platform::codepages
