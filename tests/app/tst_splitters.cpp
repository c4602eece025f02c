#define QTEST_QPA_MOUSE_HANDLING
#include "support/Fixtures.h"

#include "platform/desktop/Application.h"

// Splitter drags by mouse events that travel through the window system layer, as a real
// pointer's do: the pressed bar keeps the implicit grab while the pointer leaves it.
class SplittersTest : public QObject {
    Q_OBJECT

private:
    Desk m_desk;
    app::frmMain* m_form {nullptr};

    void drag(QPoint from, QPoint to)
    {
        QWidget* window = m_form->Me.widget();
        QTest::mouseMove(window, from);
        QTest::mousePress(window, Qt::LeftButton, {}, from);
        QTest::mouseMove(window, to);
        QTest::mouseRelease(window, Qt::LeftButton, {}, to);
    }

    // The bars stand where SplitX and SplitY say, with the panes beside them.
    void checkPanesFollow(float splitX, float splitY)
    {
        QCOMPARE(m_form->SplitX, splitX);
        QCOMPARE(m_form->SplitY, splitY);
        QCOMPARE(m_form->picVBar.Left(), splitX);
        QCOMPARE(m_form->picHBar.Top(), splitY);
        QCOMPARE(QPointF(m_form->PicHV.Left(), m_form->PicHV.Top()), QPointF(splitX, splitY));
        for (const platform::Control* control : std::initializer_list<const platform::Control*> {
                 &m_form->picHBar, &m_form->txtPath, &m_form->DriveList, &m_form->DirList, &m_form->FileList})
            QCOMPARE(control->Width(), splitX);
        QCOMPARE(m_form->DirList.Height(), splitY - 72);
        QCOMPARE(m_form->FileList.Top(), splitY + 8);
        QCOMPARE(m_form->FileList.Height(), m_form->FormHeight - splitY - 8);
        QCOMPARE(m_form->picPreview.Width(), m_form->FormWidth - splitX - 8);
    }

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void init()
    {
        m_desk.writeNumbered(12);
        m_form = &m_desk.start(m_desk.path(QStringLiteral("notes")));
    }

    // Each bar follows the pointer from where it was grabbed and stops at its bounds: ten
    // pixels of either list and twenty of the viewport at the least, fifty of the file list.
    void aDragMovesTheBarsWithinTheirBounds_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<float>("splitX");
        QTest::addColumn<float>("splitY");
        QTest::newRow("vertical bar, grabbed 4 in") << QPoint(212, 100) << QPoint(232, 100) << 228.0f << 264.0f;
        QTest::newRow("exactly on the left bound") << QPoint(212, 100) << QPoint(14, 100) << 10.0f << 264.0f;
        QTest::newRow("one inside the left bound") << QPoint(212, 100) << QPoint(15, 100) << 11.0f << 264.0f;
        QTest::newRow("far left stops at ten") << QPoint(212, 100) << QPoint(-300, 100) << 10.0f << 264.0f;
        QTest::newRow("far right stops at width - 20") << QPoint(212, 100) << QPoint(1200, 100) << 781.0f << 264.0f;
        QTest::newRow("on the right bound, width - 20") << QPoint(212, 100) << QPoint(785, 100) << 781.0f << 264.0f;
        QTest::newRow("horizontal bar, grabbed 3 in") << QPoint(100, 267) << QPoint(100, 201) << 208.0f << 198.0f;
        QTest::newRow("far up leaves ten of folders") << QPoint(100, 267) << QPoint(100, -200) << 208.0f << 82.0f;
        QTest::newRow("on the lower bound, 42 of files") << QPoint(100, 267) << QPoint(100, 459) << 208.0f << 456.0f;
        QTest::newRow("the junction, both at once") << QPoint(212, 268) << QPoint(242, 288) << 238.0f << 284.0f;
    }
    void aDragMovesTheBarsWithinTheirBounds()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(float, splitX);
        QFETCH(float, splitY);
        drag(from, to);
        checkPanesFollow(splitX, splitY);
    }

    void aBarOutsideAShrunkenWindowComesBackOnItsFirstDrag()
    {
        m_form->Me.ResizeClient(220, 506); // the right bound is now 200; the bar stays at 208
        QCOMPARE(m_form->SplitX, 208.0f);
        drag({212, 100}, {213, 100});
        checkPanesFollow(200, 264);
    }
};

QTEST_MAIN(SplittersTest)
#include "tst_splitters.moc"
