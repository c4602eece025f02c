#include "platform/codepages/CandidatePage.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <optional>

namespace platform::codepages {

namespace {

enum class Width { Narrow, Wide }; // one byte a character, or two and more

struct Row {
    const char* name;
    Width width;
    std::array<const char*, 9> languages;
};

// The code pages the notes of this program's users were written in, each for the languages
// whose desktops wrote it. A superset stands for the pages it extends: GB18030 reads GBK and
// GB2312 the same, Big5-HKSCS reads Big5, Windows-949 reads EUC-KR.
constexpr Row Rows[] {
    {"GB18030", Width::Wide, {"zh-Hans"}}, // mainland China, Singapore
    {"Big5-HKSCS", Width::Wide, {"zh-Hant"}}, // Taiwan, Hong Kong, Macao
    {"Shift_JIS", Width::Wide, {"ja"}}, // Japanese Windows, as Windows-31J
    {"EUC-JP", Width::Wide, {"ja"}}, // Japanese Unix systems and mail
    {"windows-949", Width::Wide, {"ko"}},
    {"windows-1250", Width::Narrow, {"pl", "cs", "sk", "hu", "sl", "hr", "ro"}}, // Central Europe
    {"windows-1251", Width::Narrow, {"ru", "uk", "bg", "be"}},
    {"windows-1252", Width::Narrow, {"de", "fr", "es", "it", "pt", "nl", "sv", "da", "fi"}}, // Western Europe
    {"windows-1253", Width::Narrow, {"el"}}, {"windows-1254", Width::Narrow, {"tr"}},
    {"KOI8-R", Width::Narrow, {"ru"}}, // Russian Unix systems and mail
};

constexpr int Slots = int(std::size(Rows)) + 1; // the last for a prior that is no candidate

std::vector<const LanguageModel*> ModelsOf(const Row& row)
{
    std::vector<const LanguageModel*> models;
    for (const char* tag : row.languages) {
        if (tag)
            models.push_back(LanguageModel::Find(tag));
    }
    return models;
}

// Stateless decoders for one thread, made when first used: opening an ICU converter costs
// more than reading a note's first line with it.
QStringDecoder& DecoderOf(int slot, const char* name)
{
    thread_local std::array<std::optional<QStringDecoder>, Slots> decoders;
    thread_local const char* otherName = nullptr;
    auto& decoder = decoders[slot];
    if (slot == Slots - 1 && otherName != name) {
        decoder.reset();
        otherName = name;
    }
    if (!decoder)
        decoder.emplace(name, QStringConverter::Flag::Stateless);
    return *decoder;
}

} // namespace

CandidatePage::CandidatePage(const char* name, bool wide, std::vector<const LanguageModel*> languages, int slot)
    : m_name(name)
    , m_wide(wide)
    , m_languages(std::move(languages))
    , m_slot(slot)
{
}

std::span<const CandidatePage> CandidatePage::All()
{
    static const std::vector<CandidatePage> pages = [] {
        std::vector<CandidatePage> all;
        for (const Row& row : Rows)
            all.emplace_back(row.name, row.width == Width::Wide, ModelsOf(row), int(all.size()));
        return all;
    }();
    return pages;
}

const CandidatePage* CandidatePage::Find(const char* name)
{
    const auto pages = All();
    const auto found = std::find_if(
        pages.begin(), pages.end(), [&](const CandidatePage& page) { return std::strcmp(page.Name(), name) == 0; });
    return found == pages.end() ? nullptr : &*found;
}

CandidatePage CandidatePage::Other(const char* name)
{
    std::vector<const LanguageModel*> models;
    for (const LanguageTable& table : LanguageTables())
        models.push_back(LanguageModel::Find(table.tag));
    return CandidatePage(name, false, std::move(models), Slots - 1);
}

QStringView CandidatePage::Decode(QByteArrayView bytes, Text& text) const
{
    // A stateless converter drops a character cut short by the end of its bytes without a
    // trace; a line end after them makes it a character that does not decode, as it is when the
    // bytes are a whole note, and costs no reading anything, each ending with the same space.
    QVarLengthArray<char, 1200> line(bytes.size() + 1);
    std::copy(bytes.begin(), bytes.end(), line.begin());
    line.back() = '\n';
    QStringDecoder& decoder = DecoderOf(m_slot, m_name);
    text.resize(decoder.requiredSpace(line.size()));
    const QChar* end = decoder.appendToBuffer(text.data(), QByteArrayView(line.data(), line.size()));
    return QStringView(text.data(), end - text.data());
}

int CandidatePage::Cost(QStringView text, LanguageModel::Parts* parts, LanguageModel::Scope scope) const
{
    int best = INT_MAX;
    int foreign = INT_MAX;
    for (const LanguageModel* model : m_languages) {
        LanguageModel::Parts modelParts;
        const int cost = model->Cost(text, parts ? &modelParts : nullptr, scope);
        if (cost < best && parts)
            *parts = modelParts;
        best = std::min(best, cost);
        foreign = std::min(foreign, modelParts.foreign);
    }
    if (parts)
        parts->foreign = foreign;
    return best;
}

} // namespace platform::codepages
