#include "app/frmMain.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/desktop/Application.h"
#include "support/NoteFolder.h"

#include <QScrollBar>
#include <QtTest>

// The preview pane scrolls its canvas by whole boxes; these tests drive the real window.
class ScrollingTest : public QObject {
    Q_OBJECT

private:
    static void checkBarAndCanvasMeet(app::frmMain& form)
    {
        QCOMPARE(form.VScroll.Left() + form.VScroll.Width(), form.picPreview.ScaleWidth());
        QCOMPARE(form.picContainer.Width(), form.VScroll.Left());
        QCOMPARE(form.VScroll.Height(), form.ViewHeight);
    }

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void twentyFilesGiveTheWorkedExample()
    {
        NoteFolder notes;
        notes.writeNumbered(20);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();

        QCOMPARE(form.ItemCount, 20);
        QCOMPARE(form.ViewHeight, 502.0f);
        QCOMPARE(form.PageItems, 6);
        QCOMPARE(form.VScroll.Max(), std::int16_t {14});
        QCOMPARE(form.VScroll.LargeChange(), std::int16_t {6});
        QVERIFY(form.VScroll.Enabled());
        QCOMPARE(form.picContainer.Height(), 1620.0f);
        checkBarAndCanvasMeet(form);

        form.VScroll.SetValue(14);
        QCOMPARE(form.picContainer.Top(), -1134.0f);
        // Box 20 ends 486 below the viewport's top.
        QCOMPARE(form.picContainer.Top() + form.txtPreview(20).Top() + form.txtPreview(20).Height(), 486.0f);
    }

    void viewportHeightDecidesWholeBoxes_data()
    {
        QTest::addColumn<float>("clientHeight");
        QTest::addColumn<int>("pageItems");
        QTest::newRow("inner 485 holds five") << 489.0f << 5;
        QTest::newRow("inner 486 holds six") << 490.0f << 6;
        QTest::newRow("inner 161.5 counts as 162") << 165.5f << 2;
        QTest::newRow("inner 80.5 counts as 80") << 84.5f << 0;
    }
    void viewportHeightDecidesWholeBoxes()
    {
        QFETCH(float, clientHeight);
        QFETCH(int, pageItems);
        NoteFolder notes;
        notes.writeNumbered(20);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        form.Me.ResizeClient(801, clientHeight);
        QCOMPARE(form.PageItems, pageItems);
        QCOMPARE(form.VScroll.Max(), std::int16_t(20 - pageItems));
        checkBarAndCanvasMeet(form);
        if (pageItems > 0)
            QCOMPARE(form.VScroll.LargeChange(), std::int16_t(pageItems));
        else
            QCOMPARE(form.VScroll.LargeChange(), std::int16_t {6}); // a large change of 0 is refused
    }

    void allBoxesFittingDisablesTheBar()
    {
        NoteFolder notes;
        notes.writeNumbered(6);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.VScroll.Max(), std::int16_t {0});
        QVERIFY(!form.VScroll.Enabled());
        QVERIFY(form.VScroll.widget()->isVisibleTo(form.Me.widget()));
        QCOMPARE(form.picContainer.Top(), 0.0f);
    }

    void oneBoxMoreThanAPageScrollsByOneBox()
    {
        NoteFolder notes;
        notes.writeNumbered(7);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.VScroll.Max(), std::int16_t {1});
        QVERIFY(form.VScroll.Enabled());
        form.VScroll.SetValue(1);
        QCOMPARE(form.picContainer.Top(), -81.0f);
    }

    void emptyFolderLeavesAnEmptyDisabledPane()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.ItemCount, 0);
        QCOMPARE(form.picContainer.Height(), 0.0f);
        QCOMPARE(form.VScroll.Max(), std::int16_t {0});
        QVERIFY(!form.VScroll.Enabled());
        QCOMPARE(form.picContainer.Top(), 0.0f);
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {0});
    }

    void loweringMaxByATallerWindowPullsTheCanvasDown()
    {
        NoteFolder notes;
        notes.writeNumbered(20);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        form.VScroll.SetValue(12);
        QCOMPARE(form.picContainer.Top(), -972.0f);
        form.Me.ResizeClient(801, 814); // inner 810: ten boxes fit, Max 10
        QCOMPARE(form.VScroll.Max(), std::int16_t {10});
        QCOMPARE(form.VScroll.Value(), std::int16_t {10});
        QCOMPARE(form.picContainer.Top(), -810.0f);
    }

    void keyboardScrollingMovesTheCanvasByWholeBoxes()
    {
        NoteFolder notes;
        notes.writeNumbered(20);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.Me.widget()));
        QWidget* bar = form.VScroll.widget();
        QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(form.picContainer.Top(), -81.0f);
        QTest::keyClick(bar, Qt::Key_PageDown);
        QCOMPARE(form.picContainer.Top(), -7 * 81.0f);
        QTest::keyClick(bar, Qt::Key_End);
        QCOMPARE(form.picContainer.Top(), -14 * 81.0f);
    }

    void onlyBoxesInViewGetAnEditorWidget()
    {
        NoteFolder notes;
        notes.writeNumbered(20);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.txtPreview.BoundViews(), std::size_t {7}); // boxes 1-6 and the cut box 7
        QVERIFY(form.txtPreview(1).View() != nullptr);
        QVERIFY(form.txtPreview(8).View() == nullptr);
        form.VScroll.SetValue(14);
        QVERIFY(form.txtPreview(20).View() != nullptr);
        QVERIFY(form.txtPreview(1).View() == nullptr);
        QCOMPARE(form.txtPreview.BoundViews(), std::size_t {6});
    }
};

QTEST_MAIN(ScrollingTest)
#include "tst_scrolling.moc"
