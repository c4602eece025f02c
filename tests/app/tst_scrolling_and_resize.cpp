#include "support/Fixtures.h"

#include "platform/desktop/Application.h"
#include "platform/widgets/TextEditWidget.h"

// The window's client area decides the panes and how many whole 81-pixel boxes the preview
// pane shows; the scroll bar moves its canvas by whole boxes.
class ScrollingAndResizeTest : public QObject {
    Q_OBJECT

private:
    static void checkBarAndCanvasMeet(app::frmMain& form)
    {
        QCOMPARE(form.VScroll.Left() + form.VScroll.Width(), form.picPreview.ScaleWidth());
        QCOMPARE(form.picContainer.Width(), form.VScroll.Left());
        QCOMPARE(form.VScroll.Height(), form.ViewHeight);
        for (int i = 0; i <= form.txtPreview.UBound(); ++i)
            QCOMPARE(form.txtPreview(i).Width(), form.picContainer.ScaleWidth());
    }

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    // The range is the boxes that do not fit (Max = ItemCount - PageItems), and none when all
    // fit; the viewport's inner height (4 less) is rounded half to even before the division.
    void theScrollRangeIsTheBoxesThatDoNotFit_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<float>("clientHeight");
        QTest::addColumn<int>("pageItems");
        QTest::addColumn<int>("largeChange");
        QTest::newRow("as designed, 20 files") << 20 << 506.0f << 6 << 6;
        QTest::newRow("inner 485 holds five") << 20 << 489.0f << 5 << 5;
        QTest::newRow("inner 486 holds six") << 20 << 490.0f << 6 << 6;
        QTest::newRow("inner 161.5 counts as 162") << 20 << 165.5f << 2 << 2;
        QTest::newRow("inner 80.5 counts as 80, none fit") << 20 << 84.5f << 0 << 6; // 0 is refused
        QTest::newRow("one more than a page") << 7 << 506.0f << 6 << 6;
        QTest::newRow("exactly a page") << 6 << 506.0f << 6 << 6;
        QTest::newRow("empty folder") << 0 << 506.0f << 6 << 6;
    }
    void theScrollRangeIsTheBoxesThatDoNotFit()
    {
        QFETCH(int, files);
        QFETCH(float, clientHeight);
        QFETCH(int, pageItems);
        QFETCH(int, largeChange);
        Desk desk;
        desk.writeNumbered(files);
        app::frmMain& form = desk.start(desk.path(QStringLiteral("notes")));
        form.Me.ResizeClient(801, clientHeight);
        QCOMPARE(form.PageItems, pageItems);
        QCOMPARE(int(form.VScroll.Max()), std::max(files - pageItems, 0));
        QCOMPARE(form.VScroll.Enabled(), files > pageItems);
        QCOMPARE(int(form.VScroll.LargeChange()), largeChange);
        QCOMPARE(form.picContainer.Height(), 81.0f * files);
        checkBarAndCanvasMeet(form);
    }

    // Only the boxes in view get an editor widget, and each shows its own file, wherever the
    // canvas has been scrolled to. The value stays within the range when the window grows.
    void scrollingShowsEveryBoxInViewOnItsOwnFile()
    {
        Desk desk;
        desk.writeNumbered(20);
        app::frmMain& form = desk.start(desk.path(QStringLiteral("notes")));
        QWidget* bar = form.VScroll.widget();
        const auto checkAt = [&](int value) {
            QCOMPARE(int(form.VScroll.Value()), value);
            QCOMPARE(form.picContainer.Top(), -81.0f * value);
            for (int i = 1; i <= 20; ++i) {
                const float top = form.picContainer.Top() + form.txtPreview(i).Top();
                platform::TextEditWidget* view = form.txtPreview(i).View();
                QCOMPARE(view != nullptr, top < form.ViewHeight && top + 81 > 0);
                if (view)
                    QCOMPARE(view->toPlainText(), Desk::numbered(i) + QStringLiteral("\nline two"));
            }
        };
        checkAt(0);
        QTest::keyClick(bar, Qt::Key_Down);
        checkAt(1);
        QTest::keyClick(bar, Qt::Key_PageDown);
        checkAt(7);
        QTest::keyClick(bar, Qt::Key_End);
        checkAt(14);
        form.Me.widget()->resize(801, 814); // inner 810: ten boxes fit, Max 10
        QTRY_COMPARE(int(form.VScroll.Max()), 10);
        checkAt(10);
    }

    // Resizing keeps the splitters where they are and gives the rest to the file list and
    // the viewport; a size that a control refuses leaves it as it was.
    void resizingGivesTheRestToTheFileListAndTheViewport_data()
    {
        QTest::addColumn<QSizeF>("client");
        QTest::addColumn<float>("fileListHeight");
        QTest::addColumn<float>("viewportWidth");
        QTest::newRow("as designed") << QSizeF(801, 506) << 234.0f << 585.0f;
        QTest::newRow("larger") << QSizeF(901, 606) << 334.0f << 685.0f;
        QTest::newRow("smaller") << QSizeF(600, 400) << 128.0f << 384.0f;
        QTest::newRow("file list 0 high") << QSizeF(801, 272) << 0.0f << 585.0f;
        QTest::newRow("file list -1 high is refused") << QSizeF(801, 271) << 234.0f << 585.0f;
        QTest::newRow("viewport -6 wide is refused") << QSizeF(210, 506) << 234.0f << 585.0f;
    }
    void resizingGivesTheRestToTheFileListAndTheViewport()
    {
        QFETCH(QSizeF, client);
        QFETCH(float, fileListHeight);
        QFETCH(float, viewportWidth);
        Desk desk;
        desk.writeNumbered(12);
        app::frmMain& form = desk.start(desk.path(QStringLiteral("notes")));
        form.Me.ResizeClient(float(client.width()), float(client.height()));
        QCOMPARE(form.FormWidth, float(client.width()));
        QCOMPARE(form.picVBar.Height(), float(client.height()));
        QCOMPARE(form.SplitX, 208.0f);
        QCOMPARE(form.SplitY, 264.0f);
        QCOMPARE(form.FileList.Top(), 272.0f);
        QCOMPARE(form.FileList.Height(), fileListHeight);
        QCOMPARE(form.picPreview.Width(), viewportWidth);
        QCOMPARE(form.picPreview.Left() + form.picPreview.Width(), form.FormWidth); // docked right
        checkBarAndCanvasMeet(form);
    }
};

QTEST_MAIN(ScrollingAndResizeTest)
#include "tst_scrolling_and_resize.moc"
