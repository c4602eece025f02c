#include "layout/PaneRules.h"

#include <QtTest>

using layout::PaneRules;

// The rules the window's numbers follow where rounding decides; the window's tests hold the rest.
class LayoutRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The box height less its borders is rounded half to even, then divided by the text height.
    void linesPerItemRoundsBeforeTheTruncatingDivision_data()
    {
        QTest::addColumn<float>("itemHeight");
        QTest::addColumn<float>("textHeight");
        QTest::addColumn<int>("lines");
        QTest::newRow("designed box, 16 px text") << 81.0f << 16.0f << 4;
        QTest::newRow("77.5 rounds up to 78: 78 \\ 13, not 77 \\ 13") << 81.5f << 13.0f << 6;
        QTest::newRow("76.5 rounds to even 76") << 80.5f << 19.0f << 4;
        QTest::newRow("text height 13.5 rounds to 14") << 81.0f << 13.5f << 5;
    }
    void linesPerItemRoundsBeforeTheTruncatingDivision()
    {
        QFETCH(float, itemHeight);
        QFETCH(float, textHeight);
        QFETCH(int, lines);
        QCOMPARE(PaneRules::LinesPerItem(itemHeight, textHeight), lines);
    }

    // In a window too small for both bounds of a bar, the upper one wins, so that the pane
    // beyond the bar (the previews, the file list) stays in sight.
    void theUpperBoundWinsInAWindowTooSmallForBoth()
    {
        QCOMPARE(PaneRules::ClampSplitX(100, 25), 5.0f);
        QCOMPARE(PaneRules::ClampSplitY(300, 72, 100), 50.0f);
    }
};

QTEST_APPLESS_MAIN(LayoutRulesTest)
#include "tst_layoutrules.moc"
