// Notes and names that are not UTF-8 are judged with the legacy code page of the user's locale
// as the prior, and text a reader of that locale writes stays in it, checked in child
// processes of this test (LocaleChild). The bytes are written out by hand, so the test does not
// lean on the converters. (Notes in another code page than the locale's: tst_mixedfolder and
// tst_codepageguess.)
#include "platform/names/LegacyCodePage.h"
#include "platform/names/NativePath.h"
#include "support/Files.h"
#include "support/LocaleChild.h"

#include <QScopeGuard>
#include <QTest>

#include <utility>

using namespace Qt::Literals::StringLiterals;

class tst_codepage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void localeChoosesTheCodePage_data()
    {
        QTest::addColumn<QByteArray>("lcAll");
        QTest::addColumn<QByteArray>("lcCtype");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QByteArray>("expected");
        // LANG alone: each branch of the rule (Chinese by territory, the language table, a
        // language not in it, a charset in the locale, one unknown, the locales of no language).
        const std::pair<const char*, const char*> rows[] {{"zh_CN.UTF-8", "GB18030"}, {"zh_TW.UTF-8", "Big5-HKSCS"},
            {"zh_TW.BIG5", "Big5"}, {"ja_JP.UTF-8", "Shift_JIS"}, {"ru_RU.UTF-8", "windows-1251"},
            {"sr_RS@latin", "windows-1250"}, {"pt_BR.UTF-8", "windows-1252"}, {"ro_RO.ISO-8859-16", "GB18030"},
            {"C.UTF-8", "GB18030"}, {"POSIX", "GB18030"}, {"", "GB18030"}};
        for (const auto& [lang, expected] : rows)
            QTest::newRow(lang) << QByteArray() << QByteArray() << QByteArray(lang) << QByteArray(expected);
        QTest::newRow("LC_ALL first") << "ru_RU.UTF-8"_ba
                                      << "ja_JP.UTF-8"_ba
                                      << "de_DE.UTF-8"_ba
                                      << "windows-1251"_ba;
        QTest::newRow("empty LC_ALL") << QByteArray() << "ja_JP.UTF-8"_ba
                                      << "de_DE.UTF-8"_ba
                                      << "Shift_JIS"_ba;
    }
    void localeChoosesTheCodePage()
    {
        QFETCH(QByteArray, lcAll);
        QFETCH(QByteArray, lcCtype);
        QFETCH(QByteArray, lang);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray(platform::LegacyCodePage::ForEnvironment(lcAll, lcCtype, lang)), expected);
    }

    // Each note is listed by the name a user can read and opens its own file: a Big5 name and
    // the UTF-8 name that reads the same stay two notes.
    void notesAndNamesReadInTheLocalesCodePage_data()
    {
        QTest::addColumn<QStringList>("locale");
        QTest::addColumn<QList<QByteArray>>("files"); // name, bytes, name, bytes...
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Big5, zh_TW") << QStringList {u"LANG=zh_TW.UTF-8"_s}
                                     << QList<QByteArray> {"\xB5\xA7\xB0\x4F.txt", "\xC2\xC2\xB5\xA7\xB0\x4F\nBig5\n",
                                            "筆記.txt", "in UTF-8\n"}
                                     << QStringList {
                                            u"Big5-HKSCS"_s, u"筆記.txt → 舊筆記|Big5"_s, u"筆記.txt → in UTF-8"_s};
        QTest::newRow("GB18030, no locale")
            << QStringList() << QList<QByteArray> {"\xD6\xD0.txt", "\xD6\xD0\xCE\xC4\xB1\xCA\xBC\xC7\n"}
            << QStringList {u"GB18030"_s, u"中.txt → 中文笔记"_s};
        // A note "a" under each locale: the variable set, the note's bytes, the code page, the lines read.
        const char* const notes[][4] {
            // Regression: ICU's Shift_JIS read 0x1A as U+001C, 0x1C as U+007F and 0x7F as U+001A.
            {"LC_CTYPE=ja_JP.UTF-8", "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x81\x83\x82\n\x80 x\x1A\x1C\x7F",
                "Shift_JIS", "日本語のメモ|\uFFFD x\uFFFD\u001C\u007F"},
            {"LANG=de_DE.UTF-8", "M\xFCller caf\xE9\r\n\x93na\xEFve\x94 \x80\x35\n", "windows-1252",
                "Müller café|“naïve” €5"},
            {"LANG=en_US.UTF-8", "na\xEFve", "windows-1252", "naïve"},
            {"LANG=ru_RU.UTF-8", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0", "windows-1251", "Привет, мир"},
            {"LANG=zh_CN.UTF-8", "\xD6\xD0\xCE\xC4", "GB18030", "中文"},
            {"LANG=C.UTF-8", "\xD6\xD0\xCE\xC4", "GB18030", "中文"},
            {"LANG=zh_TW.BIG5", "\xC2\xC2\xB5\xA7\xB0\x4F", "Big5", "舊筆記"},
            {"LC_ALL=de_DE.UTF-8", "caf\xC3\xA9\nM\xFCller", "windows-1252", "café|Müller"}}; // UTF-8 first
        for (const auto& [locale, bytes, codePage, lines] : notes)
            QTest::newRow(locale) << QStringList {QString::fromUtf8(locale)} << QList<QByteArray> {"a", bytes}
                                  << QStringList {QString::fromUtf8(codePage), u"a → "_s + QString::fromUtf8(lines)};
    }
    void notesAndNamesReadInTheLocalesCodePage()
    {
        QFETCH(QStringList, locale);
        QFETCH(QList<QByteArray>, files);
        QFETCH(QStringList, expected);
        NoteFolder folder;
        const QByteArray base = platform::NativePath::Encode(folder.path()) + '/';
        auto removeAll = qScopeGuard([&] { // Qt cannot remove what it cannot name
            for (qsizetype i = 0; i < files.size(); i += 2)
                ::unlink(QByteArray(base + files[i]).constData());
        });
        for (qsizetype i = 0; i < files.size(); i += 2)
            OddFiles::file(base + files[i], files[i + 1]);
        QCOMPARE(LocaleChild::Output(locale, folder.path()), expected);
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArrayView(argv[1]) == "--list")
        return LocaleChild::Run(QString::fromLocal8Bit(argv[2]));
    QCoreApplication application(argc, argv);
    tst_codepage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_codepage.moc"
