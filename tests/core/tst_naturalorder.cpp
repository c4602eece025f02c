#include "platform/names/FoldedName.h"
#include "platform/names/NativePath.h"
#include "platform/names/NaturalOrder.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

using platform::NaturalOrder;
using namespace Qt::Literals::StringLiterals;

class tst_naturalorder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ordersNamesCaseInsensitivelyWithNumbersByValue_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");

        QTest::newRow("2 before 10") << u"file2.txt"_s << u"file10.txt"_s;
        QTest::newRow("case ignored for numbers") << u"File2.txt"_s << u"file10.txt"_s;
        QTest::newRow("case ignored for letters") << u"apple"_s << u"Banana"_s;
        QTest::newRow("9 before 10 at start") << u"9 notes"_s << u"10 notes"_s;
        QTest::newRow("numbers past 64 bits")
            << u"x123456789012345678901234567890"_s << u"x123456789012345678901234567891"_s;
        QTest::newRow("longer number is larger") << u"x99999999999999999999"_s << u"x100000000000000000000"_s;
        QTest::newRow("fewer leading zeros first") << u"file1.txt"_s << u"file01.txt"_s;
        QTest::newRow("zero before double zero") << u"0"_s << u"00"_s;
        QTest::newRow("zeros only on a tie of value") << u"file01.txt"_s << u"file2.txt"_s;
        QTest::newRow("value decides before later text") << u"file01b"_s << u"file1c"_s;
        QTest::newRow("prefix first") << u"a"_s << u"a0"_s;
        QTest::newRow("dot before number") << u"file.txt"_s << u"file1.txt"_s;
        QTest::newRow("space before number") << u"file .txt"_s << u"file1.txt"_s;
        QTest::newRow("number before letters") << u"file1.txt"_s << u"filea.txt"_s;
        QTest::newRow("dot after number before letter") << u"file1.txt"_s << u"file1a.txt"_s;
        QTest::newRow("upper case first on a tie") << u"ABC.txt"_s << u"abc.txt"_s;
        QTest::newRow("chinese chapters") << u"第2章.txt"_s << u"第10章.txt"_s;
        QTest::newRow("full-width digits by value") << u"文件２.txt"_s << u"文件10.txt"_s;
        QTest::newRow("latin before chinese") << u"zebra"_s << u"中文"_s;
        QTest::newRow("legacy marker ignored") << platform::NativePath::LegacyMarker + u"a.txt"_s << u"b.txt"_s;
        QTest::newRow("case ignored outside the basic plane") << u"\U00010400 1"_s << u"\U00010428 2"_s;
        QTest::newRow("legacy twin beside its utf-8 namesake")
            << platform::NativePath::LegacyMarker + u"中文.txt"_s << u"中文.txt"_s;
    }

    void ordersNamesCaseInsensitivelyWithNumbersByValue()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QVERIFY(NaturalOrder::Compare(before, after) < 0);
        QVERIFY(NaturalOrder::Compare(after, before) > 0);
        QVERIFY(NaturalOrder::Less(before, after));
        QVERIFY(!NaturalOrder::Less(after, before));
    }

    // Names are folded one code unit at a time to spare a folded copy of every name of a
    // folder; that must give what folding the whole name gives, for every character that is
    // not half of a surrogate pair.
    void foldingByCodeUnitAgreesWithFoldingTheWholeName()
    {
        for (char32_t code = 0; code <= 0xFFFF; ++code) {
            const QChar character(static_cast<char16_t>(code));
            if (character.isSurrogate())
                continue;
            const QString name(character);
            const QString whole = name.toCaseFolded();
            QCOMPARE(whole.size(), 1);
            QVERIFY2(platform::FoldedName(name)[0] == whole[0], qPrintable(QString::number(code, 16)));
        }
        const QString deseret = u"A\U00010400b"_s;
        const platform::FoldedName folded(deseret);
        const QString whole = deseret.toCaseFolded();
        QCOMPARE(folded.size(), whole.size());
        for (qsizetype at = 0; at < whole.size(); ++at)
            QCOMPARE(folded[at], whole[at]);
    }

    void onlyIdenticalNamesCompareEqual()
    {
        QCOMPARE(NaturalOrder::Compare(u"Notes 7.txt"_s, u"Notes 7.txt"_s), 0);
        QVERIFY(NaturalOrder::Compare(u"Notes 7.txt"_s, u"notes 7.txt"_s) != 0);
        QVERIFY(NaturalOrder::Compare(u"a07"_s, u"a7"_s) != 0);
    }

    void sortGivesTheSameOrderWhateverTheInput()
    {
        const QStringList expected {u"a.txt"_s, u"A1.txt"_s, u"a1.txt"_s, u"a01.txt"_s, u"a2.txt"_s, u"a10.txt"_s,
            u"a10b.txt"_s, u"B.txt"_s, u"b.txt"_s, u"b1.txt"_s, u"第1章.txt"_s, u"第2章.txt"_s, u"第10章.txt"_s};
        QRandomGenerator random(7);
        for (int round = 0; round < 20; ++round) {
            QStringList names = expected;
            std::shuffle(names.begin(), names.end(), random);
            NaturalOrder::Sort(names);
            QCOMPARE(names, expected);
        }
    }

    // Forty thousand names, as in a large notes folder: the sort must produce an order in
    // which every neighbour compares correctly (a comparator that is not a strict order makes
    // std::sort misbehave on inputs this size).
    void sortsAFolderOfFortyThousandNamesConsistently()
    {
        QStringList names;
        QRandomGenerator random(11);
        const QStringList stems {u"note"_s, u"Note"_s, u"NOTE"_s, u"草稿"_s, u"log-"_s, u"x"_s};
        for (int index = 0; index < 40000; ++index) {
            QString stem = stems[random.bounded(stems.size())];
            QString zeros(random.bounded(3), u'0');
            names.append(stem + zeros + QString::number(random.bounded(50000)) + u".txt"_s);
        }
        NaturalOrder::Sort(names);
        for (qsizetype index = 1; index < names.size(); ++index)
            QVERIFY2(NaturalOrder::Compare(names[index - 1], names[index]) <= 0, qPrintable(names[index]));
    }
};

QTEST_GUILESS_MAIN(tst_naturalorder)
#include "tst_naturalorder.moc"
