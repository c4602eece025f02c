// The lists order names as a reader of the user's language expects: by the collation of the
// locale, through ICU. Each row's names are in the order a reader expects; the test sorts them
// from other orders and compares.
#include "platform/codepages/training/MessageCatalog.h"
#include "platform/names/NameOrder.h"
#include "platform/names/NativePath.h"
#include "support/Files.h"
#include "support/LocaleChild.h"

#include <QDir>
#include <QTest>

#include <algorithm>

using platform::NameLocale;
using platform::NameOrder;
namespace NativePath = platform::NativePath;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString Marker(NativePath::LegacyMarker);

QString escape(int byte)
{
    return QChar(static_cast<char16_t>(NativePath::EscapeBase + byte));
}

NameLocale localeOf(const QByteArray& lang)
{
    return NameLocale::ForEnvironment({}, {}, lang);
}

// Strokes, as Taiwan's desktops order names: 一 has one, 人 two ... 讀 twenty-two.
const QStringList ByStrokes {u"Notes.txt"_s, u"一.txt"_s, u"人.txt"_s, u"山.txt"_s, u"中.txt"_s, u"白.txt"_s,
    u"西.txt"_s, u"車.txt"_s, u"東.txt"_s, u"紅.txt"_s, u"書.txt"_s, u"筆記.txt"_s, u"會議.txt"_s, u"讀書會.txt"_s};

} // namespace

class tst_nameorder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesFollowTheLocalesCollation_data()
    {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QStringList>("ordered");
        // Digits, then Latin names, then Chinese ones by pinyin (bào, dú, huì, zhāng);
        // numbers by value; the tones of a pinyin name in their order.
        const QStringList byPinyin {u"2 目录.txt"_s, u"10 目录.txt"_s, u"alpha.txt"_s, u"Beta.txt"_s, u"file.txt"_s,
            u"file2.txt"_s, u"file10.txt"_s, u"mā.txt"_s, u"má.txt"_s, u"mǎ.txt"_s, u"mà.txt"_s, u"报告2.txt"_s,
            u"报告10.txt"_s, u"读书笔记.txt"_s, u"会议纪要.txt"_s, u"张三.txt"_s, u"章节.txt"_s};
        QTest::newRow("zh_CN, pinyin") << "zh_CN.UTF-8"_ba << byPinyin;
        QTest::newRow("C, as mainland China") << "C.UTF-8"_ba << byPinyin;
        QTest::newRow("no locale, as mainland China") << QByteArray() << byPinyin;
        QTest::newRow("zh_TW, strokes") << "zh_TW.UTF-8"_ba << ByStrokes;
        QTest::newRow("zh_HK, strokes") << "zh_HK.UTF-8"_ba << ByStrokes;
        QTest::newRow("de_DE, umlauts with their letter")
            << "de_DE.UTF-8"_ba
            << QStringList {u"Affe.txt"_s, u"Äpfel.txt"_s, u"Ast.txt"_s, u"Ofen.txt"_s, u"Öl.txt"_s, u"Orange.txt"_s,
                   u"Zug.txt"_s};
        QTest::newRow("sv_SE, Ä and Ö after Z")
            << "sv_SE.UTF-8"_ba
            << QStringList {u"Affe.txt"_s, u"Ast.txt"_s, u"Ofen.txt"_s, u"Zug.txt"_s, u"Äpfel.txt"_s, u"Öl.txt"_s};
        QTest::newRow("numbers by value, however long, in any digits")
            << "C.UTF-8"_ba
            << QStringList {u"x２"_s, u"x10"_s, u"x99999999999999999999"_s, u"x100000000000000000000"_s};
        // Ties by code units, so two sorts of the same names never differ.
        QTest::newRow("ties in case") << "C.UTF-8"_ba
                                      << QStringList {u"ABC.txt"_s, u"Abc.txt"_s, u"abc.txt"_s, u"abd.txt"_s};
        QTest::newRow("ties in leading zeros")
            << "C.UTF-8"_ba << QStringList {u"file01.txt"_s, u"file1.txt"_s, u"file2.txt"_s};
        QTest::newRow("ties in a byte shown as U+FFFD")
            << "C.UTF-8"_ba << QStringList {u"a"_s + escape(0x80) + u".txt"_s, u"a"_s + escape(0x81) + u".txt"_s};
        // Names read in a legacy code page sort by what they show, not by the marker and the
        // tag of their code page in front: a tag would put the name after every other one.
        QTest::newRow("legacy names by what they show")
            << "C.UTF-8"_ba
            << QStringList {u"a.txt"_s, Marker + u"b.txt"_s, NativePath::DecodeName("caf\xE9.txt", "windows-1252"),
                   u"d.txt"_s, Marker + u"中文.txt"_s, u"中文.txt"_s};
    }
    void namesFollowTheLocalesCollation()
    {
        QFETCH(QByteArray, lang);
        QFETCH(QStringList, ordered);
        NameOrder order(localeOf(lang));
        QStringList reversed = ordered;
        std::reverse(reversed.begin(), reversed.end());
        QStringList rotated = ordered;
        std::rotate(rotated.begin(), rotated.begin() + rotated.size() / 2, rotated.end());
        for (const QStringList& names : {reversed, rotated}) {
            for (const QString& name : names)
                order.Add(name);
            QCOMPARE(order.Sorted(), ordered);
        }
        for (qsizetype at = 1; at < ordered.size(); ++at) {
            QVERIFY2(order.Less(ordered[at - 1], ordered[at]), qPrintable(ordered[at - 1] + u" < "_s + ordered[at]));
            QVERIFY(order.Compare(ordered[at], ordered[at - 1]) > 0);
            QCOMPARE(order.Compare(ordered[at], ordered[at]), 0);
        }
    }

    // A large folder has the keys of its two halves made on two threads and put together; a
    // key moved to the wrong name there would put names out of place. The names are every
    // line of apt's translations, in every language it has.
    void aLargeFolderIsInTheOrderItsNamesCompareIn()
    {
        QStringList names;
        const QDir locales(u"/usr/share/locale"_s);
        for (const QString& language : locales.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QString catalog = locales.filePath(language + u"/LC_MESSAGES/apt.mo"_s);
            for (const QString& text : platform::codepages::MessageCatalog::Translations(catalog))
                names << text.split(u'\n', Qt::SkipEmptyParts);
        }
        QVERIFY2(names.size() > 10'000, "too few lines of apt's translations; apt's translations missing?");
        NameOrder order(localeOf("zh_CN.UTF-8"));
        for (const QString& name : names)
            order.Add(name);
        const QStringList sorted = order.Sorted();
        for (qsizetype at = 1; at < sorted.size(); ++at)
            QVERIFY2(
                order.Compare(sorted[at - 1], sorted[at]) <= 0, qPrintable(sorted[at - 1] + u" > "_s + sorted[at]));
        QStringList given = names;
        QStringList taken = sorted;
        std::sort(given.begin(), given.end());
        std::sort(taken.begin(), taken.end());
        QCOMPARE(taken, given);
    }

    // The collation is the first of LC_ALL, LC_COLLATE and LANG that is set and not empty.
    void theLocaleComesFromTheEnvironment_data()
    {
        QTest::addColumn<QByteArrayList>("environment"); // LC_ALL, LC_COLLATE, LANG
        QTest::addColumn<QByteArray>("collation");
        QTest::addColumn<bool>("chinese");
        QTest::newRow("LANG") << QByteArrayList {{}, {}, "zh_HK.BIG5-HKSCS"} << "zh_HK"_ba << true;
        QTest::newRow("LC_COLLATE over LANG")
            << QByteArrayList {{}, "de_DE.UTF-8", "zh_CN.UTF-8"} << "de_DE"_ba << false;
        QTest::newRow("LC_ALL over both")
            << QByteArrayList {"ru_RU.UTF-8", "de_DE.UTF-8", "zh_CN.UTF-8"} << "ru_RU"_ba << false;
        QTest::newRow("POSIX as Chinese") << QByteArrayList {{}, {}, "POSIX"} << "zh"_ba << true;
        QTest::newRow("a script for a modifier") << QByteArrayList {{}, {}, "sr_RS@latin"} << "sr_Latn_RS"_ba << false;
    }
    void theLocaleComesFromTheEnvironment()
    {
        QFETCH(QByteArrayList, environment);
        QFETCH(QByteArray, collation);
        QFETCH(bool, chinese);
        const NameLocale locale = NameLocale::ForEnvironment(environment[0], environment[1], environment[2]);
        QCOMPARE(locale.collation, collation);
        QCOMPARE(locale.chinese, chinese);
    }

    // The program itself, started in a locale, lists a folder in its order. ICU carries the
    // collations itself, so this holds where the system has none of these locales installed.
    void aProcessListsInTheOrderOfItsLocale_data()
    {
        QTest::addColumn<QStringList>("locale");
        QTest::newRow("Taiwan") << QStringList {u"LANG=zh_TW.UTF-8"_s};
        QTest::newRow("LC_COLLATE over LANG") << QStringList {u"LC_COLLATE=zh_TW.UTF-8"_s, u"LANG=de_DE.UTF-8"_s};
    }
    void aProcessListsInTheOrderOfItsLocale()
    {
        QFETCH(QStringList, locale);
        NoteFolder folder;
        for (const QString& name : ByStrokes)
            folder.write(name, {});
        QStringList listed = LocaleChild::Output(locale, folder.path());
        QVERIFY2(listed.size() > 1, qPrintable(listed.join(u'\n')));
        listed.removeFirst(); // the code page
        for (QString& line : listed)
            line = line.section(u" → "_s, 0, 0);
        QCOMPARE(listed, ByStrokes);
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArrayView(argv[1]) == "--list")
        return LocaleChild::Run(QString::fromLocal8Bit(argv[2]));
    QCoreApplication application(argc, argv);
    tst_nameorder test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_nameorder.moc"
