// Notes and names that are not UTF-8 are read in the legacy code page of the user's locale. A
// process decides that code page once, so the reading is checked in child processes of this
// test, each started with the locale of a row in its environment, as a user's session starts
// the program. The bytes are written out by hand, so the test does not lean on the converters.
#include "platform/files/FolderScanner.h"
#include "platform/files/TextInput.h"
#include "platform/names/LegacyCodePage.h"
#include "platform/names/NativePath.h"
#include "support/NoteFolder.h"

#include <QProcess>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

void Print(const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
}

// What a child prints: its code page, then the lines of a note, or for each file a folder lists
// the name a user sees and the first line read through that name.
int RunAsChild(const QString& mode, const QString& path)
{
    Print(QString::fromLatin1(platform::LegacyCodePage::Name()));
    if (mode == "--read"_L1) {
        platform::TextInput input(path);
        while (!input.AtEnd())
            Print(input.ReadLine());
        return 0;
    }
    for (const QString& name : platform::FolderScanner::ListFiles(path, u"*"_s))
        Print(platform::NativePath::ForDisplay(name) + u" → "_s + platform::TextInput(path + u'/' + name).ReadLine());
    return 0;
}

// The output of this test run as a child with the given locale variables and nothing else.
QStringList Child(const QStringList& locale, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto* variable : {"LC_ALL", "LC_CTYPE", "LANG"})
        environment.remove(QString::fromLatin1(variable));
    for (const QString& assignment : locale)
        environment.insert(assignment.section(u'=', 0, 0), assignment.section(u'=', 1));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(60000) || child.exitCode() != 0)
        return {u"child failed: "_s + QString::fromLocal8Bit(child.readAllStandardError())};
    return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// A file under a name given as bytes. It removes itself by those bytes, since QTemporaryDir
// cannot remove a name that is not UTF-8.
class RawFile {
public:
    RawFile(const QByteArray& path, const QByteArray& bytes)
        : m_path(path)
    {
        const int descriptor = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (descriptor >= 0) {
            m_written = ::write(descriptor, bytes.constData(), bytes.size()) == bytes.size();
            ::close(descriptor);
        }
    }
    ~RawFile() { ::unlink(m_path.constData()); }
    bool written() const { return m_written; }

private:
    QByteArray m_path;
    bool m_written {false};
};

} // namespace

class tst_codepage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void localeChoosesTheCodePage_data()
    {
        QTest::addColumn<QByteArray>("lcAll");
        QTest::addColumn<QByteArray>("lcCtype");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QByteArray>("expected");
        // LANG alone, and what it gives: the families of the table, a charset in the locale,
        // a modifier, and the locales that are no language.
        const std::pair<const char*, const char*> rows[] {{"zh_CN.UTF-8", "GB18030"}, {"zh_SG.UTF-8", "GB18030"},
            {"zh", "GB18030"}, {"zh_TW.UTF-8", "Big5-HKSCS"}, {"zh_HK.UTF-8", "Big5-HKSCS"}, {"zh_MO", "Big5-HKSCS"},
            {"zh_TW.BIG5", "Big5"}, {"zh_CN.gb2312", "GB18030"}, {"ja_JP.UTF-8", "Shift_JIS"},
            {"ja_JP.eucJP", "EUC-JP"}, {"ko_KR.UTF-8", "windows-949"}, {"ru_RU.UTF-8", "windows-1251"},
            {"ru_RU.KOI8-R", "KOI8-R"}, {"sr_RS@latin", "windows-1250"}, {"pl_PL.UTF-8", "windows-1250"},
            {"el_GR.UTF-8", "windows-1253"}, {"tr_TR.UTF-8", "windows-1254"}, {"he_IL.UTF-8", "windows-1255"},
            {"fa_IR.UTF-8", "windows-1256"}, {"lt_LT.UTF-8", "windows-1257"}, {"vi_VN.UTF-8", "windows-1258"},
            {"th_TH.UTF-8", "windows-874"}, {"pt_BR.UTF-8", "windows-1252"}, {"de_DE@euro", "windows-1252"},
            {"fr_FR.ISO-8859-1", "windows-1252"}, {"de_DE.ISO-8859-15", "ISO-8859-15"},
            {"ro_RO.ISO-8859-16", "GB18030"}, {"C.UTF-8", "GB18030"}, {"POSIX", "GB18030"}, {"", "GB18030"}};
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

    void notesReadInTheLocalesCodePage_data()
    {
        QTest::addColumn<QStringList>("locale");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        const QByteArray big5("\xC2\xC2\xB5\xA7\xB0\x4F\nBig5\n");
        const QByteArray cp1252("M\xFCller caf\xE9\r\n\x93na\xEFve\x94 \x80\x35\n");
        const QByteArray gb("\xD6\xD0\xCE\xC4\xB1\xCA\xBC\xC7\n");
        const QStringList latin {u"Müller café"_s, u"“naïve” €5"_s};
        const QStringList chinese {u"中文笔记"_s};
        QTest::newRow("Big5, zh_TW") << QStringList {u"LANG=zh_TW.UTF-8"_s} << big5
                                     << QStringList {u"Big5-HKSCS"_s, u"舊筆記"_s, u"Big5"_s};
        QTest::newRow("Big5, zh_TW.BIG5")
            << QStringList {u"LANG=zh_TW.BIG5"_s} << big5 << QStringList {u"Big5"_s, u"舊筆記"_s, u"Big5"_s};
        QTest::newRow("Shift_JIS, ja_JP")
            << QStringList {u"LC_CTYPE=ja_JP.UTF-8"_s}
            << QByteArray("\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x81\x83\x82\n\x80 unassigned")
            << QStringList {u"Shift_JIS"_s, u"日本語のメモ"_s, u"\uFFFD unassigned"_s};
        QTest::newRow("1252, de_DE") << QStringList {u"LANG=de_DE.UTF-8"_s} << cp1252
                                     << QStringList {u"windows-1252"_s} + latin;
        QTest::newRow("1252, en_US") << QStringList {u"LC_ALL=en_US.UTF-8"_s, u"LANG=zh_CN.UTF-8"_s} << cp1252
                                     << QStringList {u"windows-1252"_s} + latin;
        QTest::newRow("1251, ru_RU") << QStringList {u"LANG=ru_RU.UTF-8"_s}
                                     << QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0")
                                     << QStringList {u"windows-1251"_s, u"Привет, мир"_s};
        QTest::newRow("KOI8-R, ru_RU.KOI8-R")
            << QStringList {u"LANG=ru_RU.KOI8-R"_s} << QByteArray("\xF0\xD2\xC9\xD7\xC5\xD4")
            << QStringList {u"KOI8-R"_s, u"Привет"_s};
        QTest::newRow("GB18030, zh_CN") << QStringList {u"LANG=zh_CN.UTF-8"_s} << gb
                                        << QStringList {u"GB18030"_s} + chinese;
        QTest::newRow("GB18030, C.UTF-8")
            << QStringList {u"LANG=C.UTF-8"_s} << gb << QStringList {u"GB18030"_s} + chinese;
        QTest::newRow("GB18030, no locale") << QStringList() << gb << QStringList {u"GB18030"_s} + chinese;
        QTest::newRow("UTF-8 first, any locale") << QStringList {u"LANG=de_DE.UTF-8"_s} << "caf\xC3\xA9\n\xD6\xD0"_ba
                                                 << QStringList {u"windows-1252"_s, u"café"_s, u"ÖÐ"_s};
    }

    void notesReadInTheLocalesCodePage()
    {
        QFETCH(QStringList, locale);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        NoteFolder folder;
        folder.write(u"note.txt"_s, bytes);
        QCOMPARE(Child(locale, {u"--read"_s, folder.path() + u"/note.txt"_s}), expected);
    }

    // A Big5 name and the UTF-8 name that reads the same both list readably, and each opens
    // its own file rather than the other.
    void big5NameListsReadablyAndOpensItsOwnFile()
    {
        NoteFolder folder;
        const QByteArray base = platform::NativePath::Encode(folder.path()) + '/';
        const RawFile big5(base + "\xB5\xA7\xB0\x4F.txt", "from Taipei\n");
        const RawFile utf8(base + "筆記.txt", "in UTF-8\n");
        QVERIFY(big5.written() && utf8.written());
        QStringList listed = Child({u"LANG=zh_TW.UTF-8"_s}, {u"--list"_s, folder.path()});
        std::sort(listed.begin() + 1, listed.end());
        QCOMPARE(listed, (QStringList {u"Big5-HKSCS"_s, u"筆記.txt → from Taipei"_s, u"筆記.txt → in UTF-8"_s}));
    }
};

int main(int argc, char** argv)
{
    const QByteArrayView mode = argc == 3 ? argv[1] : "";
    if (mode == "--read" || mode == "--list")
        return RunAsChild(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    QCoreApplication application(argc, argv);
    tst_codepage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_codepage.moc"
