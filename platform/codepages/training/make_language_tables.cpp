// Learns the language models that judge which code page a note was written in, and writes them
// as C++ tables. Run at build time:
//   make_language_tables <folder of Unihan_*.txt> <folder of gettext catalogs> <output.cpp>
// The text each language is learnt from is the translation of the C library and of the core
// utilities into it (Debian's libc-l10n and coreutils): real text, kept by each language's
// translators, on every Debian machine. The accuracy bench measures on other catalogs.
#include "platform/codepages/training/HanWeights.h"
#include "platform/codepages/training/LanguageTrainer.h"
#include "platform/codepages/training/MessageCatalog.h"
#include "platform/codepages/training/TableWriter.h"
#include "platform/codepages/training/TrainingCatalogs.h"
#include "tools/unihan/UnihanFields.h"

#include <QFile>
#include <QStringEncoder>

#include <cstdio>
#include <optional>

using namespace platform::codepages;
using platform::UnihanFields;

namespace {

struct Language {
    const char* tag;
    QStringList folders; // of the catalog folder, the languages' own
    std::optional<HanWeights::Script> han;
};

// Every language a candidate code page is judged by (CandidatePage says which pages).
const QList<Language> Languages {
    {"zh-Hans", {"zh_CN"}, HanWeights::Script::Simplified},
    {"zh-Hant", {"zh_TW"}, HanWeights::Script::Traditional},
    {"ja", {"ja"}, HanWeights::Script::Japanese},
    {"ko", {"ko"}, HanWeights::Script::Korean},
    {"ru", {"ru"}, {}},
    {"uk", {"uk"}, {}},
    {"bg", {"bg"}, {}},
    {"be", {"be"}, {}},
    {"de", {"de"}, {}},
    {"fr", {"fr"}, {}},
    {"es", {"es"}, {}},
    {"it", {"it"}, {}},
    {"pt", {"pt", "pt_BR"}, {}},
    {"nl", {"nl"}, {}},
    {"sv", {"sv"}, {}},
    {"da", {"da"}, {}},
    {"fi", {"fi"}, {}},
    {"pl", {"pl"}, {}},
    {"cs", {"cs"}, {}},
    {"sk", {"sk"}, {}},
    {"hu", {"hu"}, {}},
    {"sl", {"sl"}, {}},
    {"hr", {"hr"}, {}},
    {"ro", {"ro"}, {}},
    {"el", {"el"}, {}},
    {"tr", {"tr"}, {}},
};

// Below this many characters a catalog says too little of a language to learn from.
constexpr qsizetype LeastText = 15000;

QList<char32_t> CommonHangulSyllables()
{
    QList<char32_t> common;
    for (char32_t syllable = 0xAC00; syllable <= 0xD7A3; ++syllable) {
        QStringEncoder encoder("EUC-KR");
        const char32_t text[] = {syllable};
        (void)encoder.encode(QString::fromUcs4(text, 1));
        if (!encoder.hasError())
            common.append(syllable);
    }
    return common;
}

int Fail(const QString& message)
{
    std::fprintf(stderr, "make_language_tables: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return Fail(QStringLiteral("usage: make_language_tables UNIHAN-FOLDER CATALOG-FOLDER OUTPUT"));
    const UnihanFields unihan(QString::fromLocal8Bit(argv[1]), HanWeights::Fields());
    if (!unihan.Complete())
        return Fail(QStringLiteral("the Unihan database in %1 lacks fields (install unicode-data)").arg(argv[1]));
    const QString catalogs = QString::fromLocal8Bit(argv[2]);

    QStringList everyText;
    QList<QStringList> texts;
    for (const Language& language : Languages) {
        QStringList text;
        for (const QString& folder : language.folders) {
            for (const QString& path : TrainingCatalogs::Of(catalogs, folder))
                text += MessageCatalog::Translations(path);
        }
        qsizetype size = 0;
        for (const QString& line : text)
            size += line.size();
        if (size < LeastText)
            return Fail(QStringLiteral("%1 characters of %2 in %3 (install libc-l10n)")
                            .arg(size)
                            .arg(QString::fromLatin1(language.tag), catalogs));
        texts.append(text);
        everyText += text;
    }

    QFile output(QString::fromLocal8Bit(argv[3]));
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Fail(QStringLiteral("cannot write %1").arg(argv[3]));
    QTextStream out(&output);
    TableWriter writer(out);
    const LanguageTrainer everyLanguage(everyText);
    for (qsizetype i = 0; i < Languages.size(); ++i) {
        const Language& language = Languages[i];
        LanguageTrainer trainer(texts[i]);
        if (QByteArrayView(language.tag) == "ko")
            trainer.FavourSyllables(CommonHangulSyllables());
        std::optional<QHash<char32_t, double>> han;
        if (language.han)
            han = HanWeights::For(*language.han, unihan);
        const auto letters = language.han ? LanguageTrainer::Letters::Unigram : LanguageTrainer::Letters::Bigram;
        writer.Add(QString::fromLatin1(language.tag), trainer.Learn(letters, han));
    }
    // What every candidate reads alike is costed by the model of every language's text.
    writer.Add(QStringLiteral("und"), everyLanguage.Learn(LanguageTrainer::Letters::Bigram, std::nullopt));
    writer.Finish();
    out.flush();
    return output.error() == QFile::NoError ? 0 : Fail(QStringLiteral("cannot write %1").arg(argv[3]));
}
