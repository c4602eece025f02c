#include "platform/codepages/CodePageJudge.h"

#include "platform/codepages/CandidatePage.h"
#include "platform/codepages/NoteWindow.h"

#include <algorithm>
#include <optional>

namespace platform::codepages {

namespace {

// A text of fewer characters that are not ASCII says too little to skip the other readings.
constexpr int ReadsWellLeast = 4;

// Whether the text reads as well as text in its language does: everything in it decodes and
// its characters that are not ASCII cost no more than ReadsWellWide or ReadsWellNarrow each. ASCII is
// left out since every candidate reads it alike, and a note of Latin letters with one
// misread accent would otherwise read well.
bool ReadsWell(const CandidatePage& page, QStringView text)
{
    LanguageModel::Parts parts;
    page.Cost(text, &parts, LanguageModel::Scope::BeyondAscii);
    return parts.invalid == 0 && parts.high >= ReadsWellLeast
        && parts.highCost <= (page.Wide() ? CodePageJudge::ReadsWellWide : CodePageJudge::ReadsWellNarrow) * parts.high;
}

} // namespace

int CodePageJudge::Margin(const LanguageModel::Parts& prior)
{
    if (prior.high >= prior.low)
        return PriorMargin + ShortMargin / std::max(prior.high, 1);
    return prior.invalid > 0 ? 0 : PriorMargin;
}

int CodePageJudge::ForeignMargin(const LanguageModel::Parts& prior, const LanguageModel::Parts& other, int margin)
{
    const bool foreign
        = prior.foreign > 0 && other.foreign == 0 && prior.high < prior.low && prior.low >= ForeignLettersLeast;
    return foreign ? std::min(margin, PriorMargin / ForeignMarginShare) : margin;
}

const char* CodePageJudge::Best(QByteArrayView bytes, const char* prior, Sources sources)
{
    std::optional<CandidatePage> other;
    const CandidatePage* priorPage = CandidatePage::Find(prior);
    if (!priorPage)
        priorPage = &other.emplace(CandidatePage::Other(prior));
    CandidatePage::Text priorBuffer;
    if (ReadsWell(*priorPage, priorPage->Decode(NoteWindow::Start(bytes), priorBuffer)))
        return prior;
    const QStringView priorText = priorPage->Decode(bytes, priorBuffer);
    CandidatePage::Text buffer;
    LanguageModel::Parts parts;
    const char* best = prior;
    int bestCost = priorPage->Cost(priorText, &parts);
    const int margin = Margin(parts);
    bestCost -= margin;
    for (const CandidatePage& page : CandidatePage::All()) {
        if (&page == priorPage)
            continue;
        // A page that reads the text as the prior does (EUC-JP kana, which GB 2312 holds too)
        // shows it as the prior does, judged in its own languages, with a part of the margin.
        const QStringView text = page.Decode(bytes, buffer);
        const bool asPrior = text == priorText;
        LanguageModel::Parts pageParts;
        // The prior's margin is taken from its cost once for every page: what this page's
        // margin leaves of it is given back.
        const int pageCost = page.Cost(text, &pageParts);
        const int pageMargin = ForeignMargin(parts, pageParts, margin);
        const int cost = pageCost - (margin - pageMargin) - (asPrior ? pageMargin / AlikeMarginShare : 0);
        // Text in a page decodes in it: a page whose reading of a note holds more characters
        // that do not decode than the prior's is no candidate, however well its other
        // characters read.
        if (sources == Sources::One && pageParts.invalid > parts.invalid)
            continue;
        if (cost < bestCost) {
            best = asPrior ? prior : page.Name();
            bestCost = cost;
        }
    }
    return best;
}

} // namespace platform::codepages
