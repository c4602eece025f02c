#include "platform/controls/PictureBox.h"
#include "platform/controls/TextBoxArray.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/controls/VScrollBar.h"
#include "platform/controls/Window.h"
#include "support/Files.h"

#include <QScrollBar>
#include <QtTest>

using namespace platform;

Q_DECLARE_METATYPE(platform::ErrorCode)

namespace {

// Stands for "no error": no call of these tests raises it.
constexpr ErrorCode None = ErrorCode::FileNotFound;

} // namespace

// Geometry, Move and the events of the controls, driven as the user and the program drive them.
class ControlsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void moveIsWholeOrNothing_data()
    {
        QTest::addColumn<bool>("element"); // a text box array element rather than a picture box
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<ErrorCode>("error");
        for (const bool element : {false, true}) {
            const char* kind = element ? "element" : "picture box";
            QTest::addRow("%s, negative width", kind) << element << -1.0 << 70.0 << ErrorCode::InvalidPropertyValue;
            QTest::addRow("%s, negative height", kind) << element << 70.0 << -0.5 << ErrorCode::InvalidPropertyValue;
            QTest::addRow("%s, width past single", kind) << element << 1e39 << 70.0 << ErrorCode::Overflow;
            QTest::addRow("%s, no size at all", kind) << element << 0.0 << 0.0 << None;
        }
    }
    void moveIsWholeOrNothing()
    {
        QFETCH(bool, element);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(ErrorCode, error);
        Window form(400, 300);
        PictureBox box(form, BorderStyle::None);
        TextBoxArray array(box);
        box.Move(10, 20, 30, 40);
        array(0).Move(10, 20, 30, 40);
        int resizes = 0;
        connect(&box, &PictureBox::Resize, this, [&] { ++resizes; });
        const auto move = [&] { element ? array(0).Move(50, 60, width, height) : box.Move(50, 60, width, height); };
        QCOMPARE(codeRaisedBy(move, None), error);
        const auto boundsOf = [](const auto& c) { return QRectF(c.Left(), c.Top(), c.Width(), c.Height()); };
        const QRectF expected = error == None ? QRectF(50, 60, width, height) : QRectF(10, 20, 30, 40);
        QCOMPARE(element ? boundsOf(array(0)) : boundsOf(box), expected);
        QCOMPARE(box.widget()->geometry(), element ? QRect(10, 20, 30, 40) : expected.toRect());
        QCOMPARE(resizes, !element && error == None ? 1 : 0);
    }

    // Fewer boxes make a smaller range: the value is pulled down with Max, which is a Change,
    // and a value outside the range is refused.
    void scrollBarValueStaysWithinTheRange()
    {
        Window form(100, 520);
        VScrollBar bar(form);
        bar.SetMax(14);
        int changes = 0;
        connect(&bar, &VScrollBar::Change, this, [&] { ++changes; });
        QCOMPARE(codeRaisedBy([&] { bar.SetValue(15); }, None), ErrorCode::InvalidPropertyValue);
        bar.SetValue(12);
        bar.SetMax(10);
        bar.SetMax(20);
        QCOMPARE(bar.Value(), std::int16_t {10});
        QCOMPARE(static_cast<QScrollBar*>(bar.widget())->value(), 10);
        QCOMPARE(changes, 2);
    }
};

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"
