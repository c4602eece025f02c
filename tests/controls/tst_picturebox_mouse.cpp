#define QTEST_QPA_MOUSE_HANDLING
#include "platform/controls/PictureBox.h"
#include "platform/controls/Window.h"
#include "platform/desktop/SystemColor.h"

#include <QWidget>
#include <QtTest>

using namespace platform;

struct MouseRecord {
    char kind;
    std::int16_t button;
    float x;
    float y;
};

class PictureBoxMouseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pressedBoxKeepsReceivingMovesOutsideWithNegativeCoordinates()
    {
        Window form(400, 300);
        PictureBox bar(form, BorderStyle::None);
        bar.Move(200, 0, 9, 300);
        QList<MouseRecord> records;
        connect(&bar, &PictureBox::MouseDown, this, [&](std::int16_t b, std::int16_t, float x, float y) {
            records.append({'D', b, x, y});
        });
        connect(&bar, &PictureBox::MouseMove, this, [&](std::int16_t b, std::int16_t, float x, float y) {
            records.append({'M', b, x, y});
        });
        connect(&bar, &PictureBox::MouseUp, this, [&](std::int16_t b, std::int16_t, float x, float y) {
            records.append({'U', b, x, y});
        });
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.widget()));

        QTest::mouseMove(bar.widget(), QPoint(4, 100));
        QTest::mousePress(bar.widget(), Qt::LeftButton, {}, QPoint(4, 100));
        QTest::mouseMove(form.widget(), QPoint(150, 80)); // well left of the bar
        QTest::mouseRelease(form.widget(), Qt::LeftButton, {}, QPoint(150, 80));

        QVERIFY(records.size() >= 4);
        const MouseRecord& tracking = records[0];
        QCOMPARE(tracking.kind, 'M');
        QCOMPARE(tracking.button, std::int16_t {0});
        QCOMPARE(tracking.x, 4.0f);
        const MouseRecord& press = records[1];
        QCOMPARE(press.kind, 'D');
        QCOMPARE(press.button, std::int16_t {1});
        const MouseRecord& drag = records[2];
        QCOMPARE(drag.kind, 'M');
        QCOMPARE(drag.button, std::int16_t {1});
        QCOMPARE(drag.x, -50.0f);
        QCOMPARE(drag.y, 80.0f);
        const MouseRecord& release = records.last();
        QCOMPARE(release.kind, 'U');
        QCOMPARE(release.button, std::int16_t {1});
        QCOMPARE(release.x, -50.0f);
    }

    void coordinatesOfABorderedBoxStartInsideTheBorder()
    {
        Window form(400, 300);
        PictureBox box(form, BorderStyle::FixedSingle);
        box.Move(100, 100, 100, 100);
        float seenX = -1;
        connect(&box, &PictureBox::MouseDown, this, [&](std::int16_t, std::int16_t, float x, float) { seenX = x; });
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.widget()));
        QTest::mousePress(box.widget(), Qt::RightButton, {}, QPoint(12, 12));
        QTest::mouseRelease(box.widget(), Qt::RightButton, {}, QPoint(12, 12));
        QCOMPARE(seenX, 10.0f);
    }

    void backColorUsesTheSystemPalette()
    {
        Window form(400, 300);
        PictureBox box(form, BorderStyle::None);
        box.SetBackColor(SystemColor::ButtonShadow);
        QCOMPARE(box.widget()->palette().color(QPalette::Window), box.widget()->palette().color(QPalette::Dark));
        box.SetBackColor(SystemColor::ButtonFace);
        QCOMPARE(box.BackColor(), SystemColor::ButtonFace);
        QCOMPARE(box.widget()->palette().color(QPalette::Window), box.widget()->palette().color(QPalette::Button));
    }
};

QTEST_MAIN(PictureBoxMouseTest)
#include "tst_picturebox_mouse.moc"
