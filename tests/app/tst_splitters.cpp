#define QTEST_QPA_MOUSE_HANDLING
#include "app/frmMain.h"
#include "platform/desktop/Application.h"
#include "platform/desktop/SystemColor.h"
#include "support/NoteFolder.h"

#include <QWidget>
#include <QtTest>

// Splitter drags driven by mouse events that travel through the window system layer, as a
// real pointer's do: the pressed bar keeps the implicit grab while the pointer leaves it.
class SplittersTest : public QObject {
    Q_OBJECT

private:
    struct Window {
        NoteFolder notes;
        CurrentFolder here {notes.path()};
        app::frmMain form;
        Window()
        {
            notes.writeNumbered(12);
            form.Show();
            QVERIFY(QTest::qWaitForWindowExposed(form.Me.widget()));
        }
        QWidget* top() const { return form.Me.widget(); }
        // Pointer actions in window coordinates.
        void move(int x, int y) { QTest::mouseMove(top(), QPoint(x, y)); }
        void press(int x, int y, Qt::MouseButton button = Qt::LeftButton)
        {
            QTest::mousePress(top(), button, {}, QPoint(x, y));
        }
        void release(int x, int y, Qt::MouseButton button = Qt::LeftButton)
        {
            QTest::mouseRelease(top(), button, {}, QPoint(x, y));
        }
        void drag(QPoint from, QPoint to)
        {
            move(from.x(), from.y());
            press(from.x(), from.y());
            move(to.x(), to.y());
            release(to.x(), to.y());
        }
        void checkInvariants() const
        {
            QCOMPARE(form.SplitX, form.picVBar.Left());
            QCOMPARE(form.SplitY, form.picHBar.Top());
        }
    };

    static void checkNavigationWidth(const app::frmMain& form, float width)
    {
        for (const platform::Control* control : std::initializer_list<const platform::Control*> {
                 &form.picHBar, &form.txtPath, &form.DriveList, &form.DirList, &form.FileList})
            QCOMPARE(control->Width(), width);
    }

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void verticalBarFollowsThePointerFromItsGrabOffset()
    {
        Window w;
        w.drag({212, 100}, {232, 100}); // grab offset 4, X 24
        QCOMPARE(w.form.LastDragX, 4.0f);
        QCOMPARE(w.form.SplitX, 228.0f);
        checkNavigationWidth(w.form, 228.0f);
        QCOMPARE(w.form.picVBar.Left(), 228.0f);
        QCOMPARE(w.form.PicHV.Left(), 228.0f);
        QCOMPARE(w.form.PicHV.Top(), 264.0f);
        QCOMPARE(w.form.picPreview.Width(), 565.0f);
        QCOMPARE(w.form.picPreview.Left(), 236.0f);
        w.checkInvariants();
    }

    void horizontalBarFollowsThePointerAndTheListBelowIt()
    {
        Window w;
        w.drag({100, 267}, {100, 201}); // grab offset 3, Y -63
        QCOMPARE(w.form.SplitY, 198.0f);
        QCOMPARE(w.form.DirList.Height(), 126.0f);
        QCOMPARE(w.form.picHBar.Top(), 198.0f);
        QCOMPARE(w.form.PicHV.Top(), 198.0f);
        QCOMPARE(w.form.FileList.Top(), 206.0f);
        QCOMPARE(w.form.FileList.Height(), 300.0f);
        w.checkInvariants();
    }

    void verticalBarStopsAtItsBounds_data()
    {
        QTest::addColumn<int>("pointerX");
        QTest::addColumn<float>("splitX");
        QTest::newRow("far left stops at 10") << -300 << 10.0f;
        QTest::newRow("exactly on the left bound") << 14 << 10.0f;
        QTest::newRow("one inside the left bound") << 15 << 11.0f;
        QTest::newRow("far right stops at width - 20") << 1200 << 781.0f;
        QTest::newRow("exactly on the right bound") << 785 << 781.0f;
    }
    void verticalBarStopsAtItsBounds()
    {
        QFETCH(int, pointerX);
        QFETCH(float, splitX);
        Window w;
        w.drag({212, 100}, {pointerX, 100});
        QCOMPARE(w.form.SplitX, splitX);
        QCOMPARE(w.form.picPreview.Width(), 801.0f - splitX - 8.0f);
        w.checkInvariants();
    }

    void horizontalBarStopsAtItsBounds_data()
    {
        QTest::addColumn<int>("pointerY");
        QTest::addColumn<float>("dirListHeight");
        QTest::addColumn<float>("fileListHeight");
        QTest::newRow("far up leaves ten pixels of folders") << -200 << 10.0f << 416.0f;
        QTest::newRow("far down leaves a file list 42 high") << 900 << 384.0f << 42.0f;
        QTest::newRow("exactly on the lower bound") << 459 << 384.0f << 42.0f;
    }
    void horizontalBarStopsAtItsBounds()
    {
        QFETCH(int, pointerY);
        QFETCH(float, dirListHeight);
        QFETCH(float, fileListHeight);
        Window w;
        w.drag({100, 267}, {100, pointerY});
        QCOMPARE(w.form.DirList.Height(), dirListHeight);
        QCOMPARE(w.form.FileList.Height(), fileListHeight);
        w.checkInvariants();
    }

    void rightButtonMovesOnlyUpdateTheGrabOffset()
    {
        Window w;
        w.move(212, 100);
        w.press(212, 100, Qt::RightButton);
        w.move(300, 100);
        QCOMPARE(w.form.SplitX, 208.0f);
        QCOMPARE(w.form.LastDragX, 92.0f);
        w.release(300, 100, Qt::RightButton);
        QCOMPARE(w.form.picVBar.Left(), 208.0f);
    }

    void anyButtonShowsThePressedColourUntilRelease()
    {
        Window w;
        w.move(212, 100);
        w.press(212, 100, Qt::RightButton);
        QCOMPARE(w.form.picVBar.BackColor(), platform::SystemColor::ButtonShadow);
        w.release(212, 100, Qt::RightButton);
        QCOMPARE(w.form.picVBar.BackColor(), platform::SystemColor::ButtonFace);
        w.move(100, 267);
        w.press(100, 267);
        QCOMPARE(w.form.picHBar.BackColor(), platform::SystemColor::ButtonShadow);
        w.release(100, 267);
        QCOMPARE(w.form.picHBar.BackColor(), platform::SystemColor::ButtonFace);
    }

    void firstDragWithoutTrackingJumpsToThePointer()
    {
        // No pointer has passed over the bar, so the grab offset is still 0: the bar's left
        // edge goes to the pointer. (Qt always reports the pointer's arrival as a move, so the
        // handler is called as the window system would without one.)
        Window w;
        w.form.picVBar_MouseMove(1, 0, 30, 100);
        QCOMPARE(w.form.SplitX, 238.0f);
        w.checkInvariants();
    }

    void junctionDragsBothBarsDiagonally()
    {
        Window w;
        w.drag({212, 268}, {242, 288}); // offsets 4, 4; moved +30, +20
        QCOMPARE(w.form.SplitX, 238.0f);
        QCOMPARE(w.form.SplitY, 284.0f);
        checkNavigationWidth(w.form, 238.0f);
        QCOMPARE(w.form.DirList.Height(), 212.0f);
        QCOMPARE(w.form.FileList.Top(), 292.0f);
        QCOMPARE(w.form.FileList.Height(), 214.0f);
        QCOMPARE(w.form.PicHV.Left(), 238.0f);
        QCOMPARE(w.form.PicHV.Top(), 284.0f);
        QCOMPARE(w.form.picPreview.Width(), 555.0f);
        QCOMPARE(w.form.picVBar.BackColor(), platform::SystemColor::ButtonFace);
        w.checkInvariants();
    }

    void splitterOutsideAShrunkenWindowReturnsOnItsFirstDrag()
    {
        Window w;
        w.form.Me.ResizeClient(220, 506); // right bound now 200, the bar stays at 208
        QCOMPARE(w.form.SplitX, 208.0f);
        w.drag({212, 100}, {213, 100});
        QCOMPARE(w.form.SplitX, 200.0f);
        QCOMPARE(w.form.picPreview.Width(), 12.0f);
        w.checkInvariants();
    }

    void dragInAWindowSmallerThanTheBoundsKeepsTheInvariants()
    {
        Window w;
        w.form.Me.ResizeClient(15, 100);
        w.form.picVBar_MouseMove(1, 0, 0, 0);
        QCOMPARE(w.form.SplitX, -5.0f);
        w.form.picHBar_MouseMove(1, 0, 0, 0);
        w.checkInvariants();
    }
};

QTEST_MAIN(SplittersTest)
#include "tst_splitters.moc"
