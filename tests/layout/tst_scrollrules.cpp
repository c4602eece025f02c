#include "layout/ScrollRules.h"
#include "platform/runtime/Error.h"

#include <QtTest>

using layout::ScrollRules;

class ScrollRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pageItemsCountsWholeBoxesAfterHalfEvenRounding_data()
    {
        QTest::addColumn<float>("viewHeight");
        QTest::addColumn<int>("pageItems");
        QTest::newRow("designed viewport 502") << 502.0f << 6;
        QTest::newRow("485 holds five") << 485.0f << 5;
        QTest::newRow("486 holds six") << 486.0f << 6;
        QTest::newRow("161.5 counts as 162") << 161.5f << 2;
        QTest::newRow("80.5 counts as 80") << 80.5f << 0;
        QTest::newRow("shorter than a box") << 40.0f << 0;
    }
    void pageItemsCountsWholeBoxesAfterHalfEvenRounding()
    {
        QFETCH(float, viewHeight);
        QFETCH(int, pageItems);
        QCOMPARE(ScrollRules::PageItems(viewHeight, 81.0f), pageItems);
    }

    void scrollMaxIsTheBoxesThatDoNotFit_data()
    {
        QTest::addColumn<int>("itemCount");
        QTest::addColumn<int>("pageItems");
        QTest::addColumn<int>("max");
        QTest::newRow("worked example: 20 files, 6 fit") << 20 << 6 << 14;
        QTest::newRow("exactly a page") << 6 << 6 << 0;
        QTest::newRow("one more than a page") << 7 << 6 << 1;
        QTest::newRow("empty folder") << 0 << 6 << 0;
        QTest::newRow("viewport shorter than a box") << 3 << 0 << 3;
    }
    void scrollMaxIsTheBoxesThatDoNotFit()
    {
        QFETCH(int, itemCount);
        QFETCH(int, pageItems);
        QFETCH(int, max);
        QCOMPARE(ScrollRules::ScrollMax(itemCount, pageItems), max);
    }

    void canvasFollowsScrollValueInWholeBoxes()
    {
        QCOMPARE(ScrollRules::CanvasTop(14, 81.0f), -1134.0f);
        QCOMPARE(ScrollRules::CanvasTop(0, 81.0f), 0.0f);
        QCOMPARE(ScrollRules::CanvasHeight(81.0f, 20), 1620.0f);
        QCOMPARE(ScrollRules::CanvasHeight(81.0f, 32767), 2654127.0f);
        QCOMPARE(ScrollRules::BoxTop(2, 81.0f), 81.0f);
    }

    void itemHeightRoundingToZeroIsAnError()
    {
        QVERIFY_THROWS_EXCEPTION(platform::Error, ScrollRules::PageItems(502.0f, 0.4f));
    }
};

QTEST_APPLESS_MAIN(ScrollRulesTest)
#include "tst_scrollrules.moc"
