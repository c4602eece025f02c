#include "platform/codepages/training/HanWeights.h"

#include <QRegularExpression>

namespace platform::codepages {

namespace {

const QString Pinlu = QStringLiteral("kHanyuPinlu");
const QString Traditional = QStringLiteral("kTraditionalVariant");
const QString Simplified = QStringLiteral("kSimplifiedVariant");
const QString Gb = QStringLiteral("kGB0");
const QString BigFive = QStringLiteral("kBigFive");
const QString Jis = QStringLiteral("kJis0");
const QString Joyo = QStringLiteral("kJoyoKanji");
const QString Ksc = QStringLiteral("kKSC0");

// Share of the counts of use beside the share of the standards' levels. The counts say far
// more, but they cover 3,800 characters, and the levels the rest of what is commonly written:
// a few hundredths of a text, far less than the thousands of characters of a first level
// would take if it were spread evenly over them. Japanese and Korean reach the counts only
// through variants, and the levels (Jōyō above all) say more there.
double CountsShare(HanWeights::Script script)
{
    return script == HanWeights::Script::Simplified || script == HanWeights::Script::Traditional ? 0.97 : 0.85;
}

QList<char32_t> CodesIn(const QString& value)
{
    QList<char32_t> codes;
    for (const QString& item : value.split(u' ', Qt::SkipEmptyParts)) {
        if (item.startsWith(u"U+"))
            codes.append(static_cast<char32_t>(item.mid(2).toUInt(nullptr, 16)));
    }
    return codes;
}

// kHanyuPinlu: "yī(32747)", a count for each reading.
QHash<char32_t, double> MainlandCounts(const UnihanFields& unihan)
{
    static const QRegularExpression count(QStringLiteral("\\((\\d+)\\)"));
    QHash<char32_t, double> counts;
    const auto& all = unihan.All(Pinlu);
    for (auto it = all.begin(); it != all.end(); ++it) {
        for (const auto& match : count.globalMatch(it.value()))
            counts[it.key()] += match.captured(1).toDouble();
    }
    return counts;
}

QHash<char32_t, double> TraditionalCounts(const UnihanFields& unihan, const QHash<char32_t, double>& mainland)
{
    QHash<char32_t, double> counts;
    for (auto it = mainland.begin(); it != mainland.end(); ++it) {
        QList<char32_t> forms = CodesIn(unihan.Value(Traditional, it.key()));
        if (forms.isEmpty())
            forms.append(it.key());
        for (const char32_t form : forms)
            counts[form] += it.value() / double(forms.size());
    }
    return counts;
}

// A Japanese or Korean form is most often the traditional one, or the character itself.
QHash<char32_t, double> CountsThroughVariants(const UnihanFields& unihan, const QHash<char32_t, double>& mainland)
{
    QHash<char32_t, double> counts = TraditionalCounts(unihan, mainland);
    for (auto it = mainland.begin(); it != mainland.end(); ++it)
        counts[it.key()] = std::max(counts.value(it.key()), it.value());
    const auto& simplified = unihan.All(Simplified);
    for (auto it = simplified.begin(); it != simplified.end(); ++it) {
        for (const char32_t form : CodesIn(it.value()))
            counts[it.key()] = std::max(counts.value(it.key()), mainland.value(form));
    }
    return counts;
}

// Row and cell "RRCC" of a 94 × 94 standard: the first level ends before row firstLevelEnd.
QHash<char32_t, double> Levels(const UnihanFields& unihan, const QString& field, int firstLevelEnd)
{
    QHash<char32_t, double> levels;
    const auto& all = unihan.All(field);
    for (auto it = all.begin(); it != all.end(); ++it)
        levels[it.key()] = it.value().left(2).toInt() < firstLevelEnd ? 1.0 : 0.15;
    return levels;
}

QHash<char32_t, double> BigFiveLevels(const UnihanFields& unihan)
{
    QHash<char32_t, double> levels;
    const auto& all = unihan.All(BigFive);
    for (auto it = all.begin(); it != all.end(); ++it)
        levels[it.key()] = it.value().toUInt(nullptr, 16) < 0xC940 ? 1.0 : 0.15;
    return levels;
}

QHash<char32_t, double> Normalised(const QHash<char32_t, double>& weights)
{
    double total = 0;
    for (const double weight : weights)
        total += weight;
    QHash<char32_t, double> shares;
    for (auto it = weights.begin(); it != weights.end(); ++it)
        shares.insert(it.key(), it.value() / total);
    return shares;
}

} // namespace

QStringList HanWeights::Fields()
{
    return {Pinlu, Traditional, Simplified, Gb, BigFive, Jis, Joyo, Ksc};
}

QHash<char32_t, double> HanWeights::For(Script script, const UnihanFields& unihan)
{
    const QHash<char32_t, double> mainland = MainlandCounts(unihan);
    QHash<char32_t, double> counts;
    QHash<char32_t, double> levels;
    switch (script) {
    case Script::Simplified:
        counts = mainland;
        levels = Levels(unihan, Gb, 56);
        break;
    case Script::Traditional:
        counts = TraditionalCounts(unihan, mainland);
        levels = BigFiveLevels(unihan);
        break;
    case Script::Japanese:
        counts = CountsThroughVariants(unihan, mainland);
        levels = Levels(unihan, Jis, 48);
        for (auto it = unihan.All(Joyo).begin(); it != unihan.All(Joyo).end(); ++it)
            levels[it.key()] += 4.0; // the characters taught at school and used in the press
        break;
    case Script::Korean:
        counts = CountsThroughVariants(unihan, mainland);
        levels = Levels(unihan, Ksc, 100);
        break;
    }
    const auto countShares = Normalised(counts);
    const auto levelShares = Normalised(levels);
    QHash<char32_t, double> weights;
    for (auto it = countShares.begin(); it != countShares.end(); ++it)
        weights[it.key()] += CountsShare(script) * it.value();
    for (auto it = levelShares.begin(); it != levelShares.end(); ++it)
        weights[it.key()] += (1 - CountsShare(script)) * it.value();
    return weights;
}

} // namespace platform::codepages
