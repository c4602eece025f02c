#include "platform/names/CodePage.h"

#include "platform/names/LegacyCodePage.h"

#include <QByteArrayView>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {

namespace {

constexpr QChar Substitute {0x1A};

bool IsControl(unsigned byte)
{
    return byte < 0x20 || byte == 0x7F;
}

// The code pages asked for so far. Each is made once and never freed, so a reference handed
// out stays good on every thread; a slot is published after its code page is complete, and
// readers look without the lock, since a note asks on every read.
struct Registry {
    std::array<std::atomic<const CodePage*>, CodePage::Capacity> slots {};
    std::atomic<int> count {0};
    std::mutex adding;

    const CodePage* Find(const char* name) const
    {
        const int known = count.load(std::memory_order_acquire);
        for (int index = 0; index < known; ++index) {
            const CodePage* page = slots[static_cast<std::size_t>(index)].load(std::memory_order_acquire);
            if (std::strcmp(page->Name(), name) == 0)
                return page;
        }
        return nullptr;
    }
};

Registry& Pages()
{
    static Registry registry;
    return registry;
}

} // namespace

const CodePage& CodePage::Named(const char* name)
{
    Registry& registry = Pages();
    if (const CodePage* page = registry.Find(name))
        return *page;
    const std::lock_guard lock(registry.adding);
    if (const CodePage* page = registry.Find(name))
        return *page;
    const int index = registry.count.load(std::memory_order_relaxed);
    if (index == Capacity) {
        const CodePage* fallback = registry.Find(LegacyCodePage::Fallback);
        return fallback ? *fallback : *registry.slots[0].load();
    }
    const auto* page = new CodePage(name, index); // kept for the life of the process
    registry.slots[static_cast<std::size_t>(index)].store(page, std::memory_order_release);
    registry.count.store(index + 1, std::memory_order_release);
    return *page;
}

const CodePage* CodePage::AtIndex(int index)
{
    const Registry& registry = Pages();
    if (index < 0 || index >= registry.count.load(std::memory_order_acquire))
        return nullptr;
    return registry.slots[static_cast<std::size_t>(index)].load(std::memory_order_acquire);
}

CodePage::CodePage(const char* name, int index)
    : m_name(name)
    , m_index(index)
    , m_converts(QStringDecoder(name).isValid() && QStringEncoder(name).isValid())
{
    for (unsigned byte = 0; byte < 0x80; ++byte) {
        m_forDecoder[byte] = static_cast<unsigned char>(byte);
        m_fromEncoder[byte] = static_cast<unsigned char>(byte);
    }
    if (!m_converts)
        return;
    LearnControls();
    LearnSubstitutes();
}

QStringDecoder CodePage::Decoder() const
{
    return QStringDecoder(Name(), QStringConverter::Flag::Stateless);
}

namespace {

// A thread's converters by code page index, grown as it meets code pages: a thread of the
// reader pool meets a handful, and the rest of the process's threads none.
template<typename Converter>
Converter& OfThisThread(std::vector<std::optional<Converter>>& converters, int index, const char* name)
{
    if (converters.size() <= static_cast<std::size_t>(index))
        converters.resize(static_cast<std::size_t>(index) + 1);
    std::optional<Converter>& converter = converters[static_cast<std::size_t>(index)];
    if (!converter)
        converter.emplace(name, QStringConverter::Flag::Stateless);
    return *converter;
}

} // namespace

QStringDecoder& CodePage::ThreadDecoder() const
{
    thread_local std::vector<std::optional<QStringDecoder>> decoders;
    return OfThisThread(decoders, m_index, Name());
}

QStringEncoder& CodePage::ThreadEncoder() const
{
    thread_local std::vector<std::optional<QStringEncoder>> encoders;
    return OfThisThread(encoders, m_index, Name());
}

// Each control byte is decoded alone. Where the converter reads every one of them as a control
// character, but some as another one, those it swaps are undone around it; anything else it
// does to them is left as it is.
void CodePage::LearnControls()
{
    QStringDecoder decoder = Decoder();
    std::array<int, 0x80> readAs {};
    std::array<bool, 0x80> taken {};
    for (unsigned byte = 0; byte < 0x80; ++byte) {
        if (!IsControl(byte))
            continue;
        const char alone = static_cast<char>(byte);
        const QString text = decoder(QByteArrayView(&alone, 1));
        if (text.size() != 1 || !IsControl(text[0].unicode()) || taken[text[0].unicode()])
            return;
        readAs[byte] = text[0].unicode();
        taken[text[0].unicode()] = true;
    }
    for (unsigned byte = 0; byte < 0x80; ++byte) {
        if (!IsControl(byte) || readAs[byte] == static_cast<int>(byte))
            continue;
        m_rotatesControls = true;
        m_forDecoder[static_cast<std::size_t>(readAs[byte])] = static_cast<unsigned char>(byte);
        m_fromEncoder[byte] = static_cast<unsigned char>(readAs[byte]);
    }
}

// Decodes every byte but 0x1A alone on a line, as the lines of a note are decoded, so that each
// one that does not decode by itself is one invalid byte, whether it is unassigned or a lead
// byte cut short by the line feed.
void CodePage::LearnSubstitutes()
{
    QByteArray lines;
    for (unsigned byte = 0; byte <= 0xFF; ++byte) {
        if (byte != 0x1A)
            lines.append(static_cast<char>(byte)).append('\n');
    }
    ForDecoder(lines.data(), lines.data() + lines.size());
    QStringDecoder decoder = Decoder();
    m_substitutes = QString(decoder.decode(lines)).contains(Substitute);
}

void CodePage::Turn(const std::array<unsigned char, 0x80>& into, char* begin, char* end)
{
    for (char* at = begin; at < end; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        if (byte < 0x80)
            *at = static_cast<char>(into[byte]);
    }
}

void CodePage::ReplaceSubstitutes(QString& text)
{
    if (text.contains(Substitute))
        text.replace(Substitute, QChar(QChar::ReplacementCharacter));
}

} // namespace platform
