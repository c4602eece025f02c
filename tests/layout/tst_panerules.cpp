#include "layout/PaneRules.h"
#include "platform/runtime/Error.h"

#include <QtTest>

using layout::PaneRules;

class PaneRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesPerItemRoundsBeforeTruncatingDivision_data()
    {
        QTest::addColumn<float>("itemHeight");
        QTest::addColumn<float>("textHeight");
        QTest::addColumn<int>("lines");
        QTest::newRow("designed box, 12 px text") << 81.0f << 12.0f << 6;
        QTest::newRow("designed box, 16 px text") << 81.0f << 16.0f << 4;
        QTest::newRow("76.5 rounds to even 76") << 80.5f << 19.0f << 4;
        QTest::newRow("77.5 rounds to even 78") << 81.5f << 19.5f << 3; // 78 \ 20
        QTest::newRow("text height 12.5 rounds to 12") << 81.0f << 12.5f << 6;
        QTest::newRow("text height 13.5 rounds to 14") << 81.0f << 13.5f << 5;
        QTest::newRow("box below 4 truncates toward zero") << 2.0f << 3.0f << 0;
        QTest::newRow("negative quotient truncates toward zero") << 0.0f << 3.0f << -1;
    }
    void linesPerItemRoundsBeforeTruncatingDivision()
    {
        QFETCH(float, itemHeight);
        QFETCH(float, textHeight);
        QFETCH(int, lines);
        QCOMPARE(PaneRules::LinesPerItem(itemHeight, textHeight), lines);
    }

    void textHeightRoundingToZeroIsDivisionByZero()
    {
        try {
            PaneRules::LinesPerItem(81.0f, 0.5f);
            QFAIL("expected an error");
        } catch (const platform::Error& error) {
            QCOMPARE(error.code(), platform::ErrorCode::DivisionByZero);
        }
    }

    void splitXBoundsAreStrictAndUpperWins_data()
    {
        QTest::addColumn<float>("splitX");
        QTest::addColumn<float>("formWidth");
        QTest::addColumn<float>("expected");
        QTest::newRow("inside") << 228.0f << 801.0f << 228.0f;
        QTest::newRow("far left stops at 10") << -500.0f << 801.0f << 10.0f;
        QTest::newRow("exactly on lower bound stays") << 10.0f << 801.0f << 10.0f;
        QTest::newRow("far right stops at width - 20") << 5000.0f << 801.0f << 781.0f;
        QTest::newRow("exactly on upper bound stays") << 781.0f << 801.0f << 781.0f;
        QTest::newRow("crossed bounds: upper wins") << 15.0f << 25.0f << 5.0f;
        QTest::newRow("tiny window goes negative") << 100.0f << 12.0f << -8.0f;
    }
    void splitXBoundsAreStrictAndUpperWins()
    {
        QFETCH(float, splitX);
        QFETCH(float, formWidth);
        QFETCH(float, expected);
        QCOMPARE(PaneRules::ClampSplitX(splitX, formWidth), expected);
    }

    void splitYBoundsAreStrictAndUpperWins_data()
    {
        QTest::addColumn<float>("splitY");
        QTest::addColumn<float>("expected");
        QTest::newRow("worked example") << 198.0f << 198.0f;
        QTest::newRow("far up: ten pixels of directory list") << -400.0f << 82.0f;
        QTest::newRow("far down: file list 42 high") << 900.0f << 456.0f;
        QTest::newRow("on the lower bound") << 82.0f << 82.0f;
        QTest::newRow("on the upper bound") << 456.0f << 456.0f;
    }
    void splitYBoundsAreStrictAndUpperWins()
    {
        QFETCH(float, splitY);
        QFETCH(float, expected);
        QCOMPARE(PaneRules::ClampSplitY(splitY, 72.0f, 506.0f), expected);
        QCOMPARE(PaneRules::FileListHeight(506.0f, 456.0f), 42.0f);
    }

    void crossedVerticalBoundsLetTheUpperWin()
    {
        // A client 100 high with the list at 72: lower bound 82, upper 50.
        QCOMPARE(PaneRules::ClampSplitY(60.0f, 72.0f, 100.0f), 50.0f);
    }

    void designedPaneFigures()
    {
        QCOMPARE(PaneRules::FileListTop(264.0f), 272.0f);
        QCOMPARE(PaneRules::FileListHeight(506.0f, 264.0f), 234.0f);
        QCOMPARE(PaneRules::ViewportWidth(801.0f, 208.0f), 585.0f);
        QCOMPARE(PaneRules::Dragged(208.0f, 24.0f, 4.0f), 228.0f);
        QCOMPARE(PaneRules::Dragged(264.0f, -63.0f, 3.0f), 198.0f);
    }
};

QTEST_APPLESS_MAIN(PaneRulesTest)
#include "tst_panerules.moc"
