#include "layout/PaneRules.h"
#include "layout/ScrollRules.h"
#include "platform/runtime/Error.h"

#include <QtTest>

#include <functional>

using layout::PaneRules;
using layout::ScrollRules;

// The rules the window's numbers follow, where rounding decides. The window's own tests hold
// the bounds and the scroll range.
class LayoutRulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The box height less its borders is rounded half to even, then divided (truncating) by
    // the rounded text height.
    void linesPerItemRoundsBeforeTheTruncatingDivision_data()
    {
        QTest::addColumn<float>("itemHeight");
        QTest::addColumn<float>("textHeight");
        QTest::addColumn<int>("lines");
        QTest::newRow("designed box, 16 px text") << 81.0f << 16.0f << 4;
        QTest::newRow("77.5 rounds up to 78: 78 \\ 13, not 77 \\ 13") << 81.5f << 13.0f << 6;
        QTest::newRow("76.5 rounds to even 76") << 80.5f << 19.0f << 4;
        QTest::newRow("text height 12.5 rounds to 12") << 81.0f << 12.5f << 6;
        QTest::newRow("text height 13.5 rounds to 14") << 81.0f << 13.5f << 5;
        QTest::newRow("negative quotient truncates toward zero") << 0.0f << 3.0f << -1;
    }
    void linesPerItemRoundsBeforeTheTruncatingDivision()
    {
        QFETCH(float, itemHeight);
        QFETCH(float, textHeight);
        QFETCH(int, lines);
        QCOMPARE(PaneRules::LinesPerItem(itemHeight, textHeight), lines);
    }

    // A height that rounds to zero is the program's error, never a silent zero or a crash.
    void aHeightRoundingToZeroIsDivisionByZero()
    {
        for (const std::function<void()>& call : {std::function<void()>([] { PaneRules::LinesPerItem(81.0f, 0.5f); }),
                 std::function<void()>([] { ScrollRules::PageItems(502.0f, 0.4f); })}) {
            try {
                call();
                QFAIL("expected an error");
            } catch (const platform::Error& error) {
                QCOMPARE(error.code(), platform::ErrorCode::DivisionByZero);
            }
        }
    }
};

QTEST_APPLESS_MAIN(LayoutRulesTest)
#include "tst_layoutrules.moc"
