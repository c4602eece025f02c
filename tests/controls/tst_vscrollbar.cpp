#define QTEST_QPA_MOUSE_HANDLING
#include "platform/controls/VScrollBar.h"
#include "platform/controls/Window.h"
#include "platform/runtime/Error.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

using namespace platform;

class VScrollBarTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        Window form {100, 520};
        VScrollBar bar {form};
        int changes = 0;
        int scrolls = 0;
        Fixture()
        {
            bar.Move(0, 0, 17, 497);
            bar.SetMax(14);
            bar.SetLargeChange(6);
            QObject::connect(&bar, &VScrollBar::Change, [this] { ++changes; });
            QObject::connect(&bar, &VScrollBar::Scroll, [this] { ++scrolls; });
        }
    };

    static QPoint thumbCentre(QScrollBar* scrollBar)
    {
        QStyleOptionSlider option;
        option.initFrom(scrollBar);
        option.orientation = Qt::Vertical;
        option.minimum = scrollBar->minimum();
        option.maximum = scrollBar->maximum();
        option.sliderPosition = scrollBar->sliderPosition();
        option.sliderValue = scrollBar->value();
        option.pageStep = scrollBar->pageStep();
        option.singleStep = scrollBar->singleStep();
        option.subControls = QStyle::SC_All;
        return scrollBar->style()
            ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, scrollBar)
            .center();
    }

private Q_SLOTS:
    void loweringMaxLowersTheValueAndRaisesChange()
    {
        Fixture f;
        f.bar.SetValue(12);
        QCOMPARE(f.changes, 1);
        f.bar.SetMax(10);
        QCOMPARE(f.bar.Value(), std::int16_t {10});
        QCOMPARE(f.changes, 2);
        QCOMPARE(static_cast<QScrollBar*>(f.bar.widget())->value(), 10);
        f.bar.SetMax(20); // raising Max leaves the value
        QCOMPARE(f.bar.Value(), std::int16_t {10});
        QCOMPARE(f.changes, 2);
    }

    void largeChangeBelowOneIsRefusedAndTheOldOneKept()
    {
        Fixture f;
        try {
            f.bar.SetLargeChange(0);
            QFAIL("expected error 380");
        } catch (const Error& error) {
            QCOMPARE(error.number(), 380);
        }
        QCOMPARE(f.bar.LargeChange(), std::int16_t {6});
        QCOMPARE(static_cast<QScrollBar*>(f.bar.widget())->pageStep(), 6);
    }

    void valueOutsideTheRangeIsRefused()
    {
        Fixture f;
        QVERIFY_THROWS_EXCEPTION(Error, f.bar.SetValue(15));
        QVERIFY_THROWS_EXCEPTION(Error, f.bar.SetValue(-1));
        QVERIFY_THROWS_EXCEPTION(Error, f.bar.SetMax(40000));
        QCOMPARE(f.bar.Value(), std::int16_t {0});
        QCOMPARE(f.bar.Max(), std::int16_t {14});
    }

    void keysAndArrowClicksRaiseChangeNotScroll()
    {
        Fixture f;
        f.form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.widget()));
        static_cast<QScrollBar*>(f.bar.widget())->setFocus();
        QTest::keyClick(static_cast<QScrollBar*>(f.bar.widget()), Qt::Key_Down);
        QCOMPARE(f.bar.Value(), std::int16_t {1});
        QTest::keyClick(static_cast<QScrollBar*>(f.bar.widget()), Qt::Key_PageDown);
        QCOMPARE(f.bar.Value(), std::int16_t {7});
        QCOMPARE(f.changes, 2);
        QCOMPARE(f.scrolls, 0);
    }

    void draggingTheThumbScrollsLiveAndChangesOnceOnRelease()
    {
        Fixture f;
        f.form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.widget()));
        QScrollBar* scrollBar = static_cast<QScrollBar*>(f.bar.widget());
        const QPoint start = thumbCentre(scrollBar);
        QTest::mousePress(scrollBar, Qt::LeftButton, {}, start);
        QList<std::int16_t> seen;
        connect(&f.bar, &VScrollBar::Scroll, this, [&] { seen.append(f.bar.Value()); });
        for (int dy = 40; dy <= 200; dy += 40)
            QTest::mouseMove(scrollBar, start + QPoint(0, dy));
        QVERIFY(f.scrolls >= 3);
        QCOMPARE(f.changes, 0);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QTest::mouseRelease(scrollBar, Qt::LeftButton, {}, start + QPoint(0, 200));
        QCOMPARE(f.changes, 1);
        QVERIFY(f.bar.Value() > 0);
    }

    void thumbReleasedWhereItWasPressedRaisesNothing()
    {
        Fixture f;
        f.form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.widget()));
        QScrollBar* scrollBar = static_cast<QScrollBar*>(f.bar.widget());
        const QPoint start = thumbCentre(scrollBar);
        QTest::mousePress(scrollBar, Qt::LeftButton, {}, start);
        QTest::mouseMove(scrollBar, start + QPoint(0, 120));
        QTest::mouseMove(scrollBar, start);
        QTest::mouseRelease(scrollBar, Qt::LeftButton, {}, start);
        QCOMPARE(f.changes, 0);
        QCOMPARE(f.bar.Value(), std::int16_t {0});
    }
};

QTEST_MAIN(VScrollBarTest)
#include "tst_vscrollbar.moc"
