#include "support/Fixtures.h"

#include "platform/desktop/Application.h"
#include "platform/widgets/TextEditWidget.h"

#include <QScrollBar>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

void makeFifo(const QString& path)
{
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
}

} // namespace

// The preview pane of the real window: one 81-pixel box per listed file, rebuilt as a whole; the
// client area decides how many whole boxes are in view, and the scroll bar moves by whole boxes.
class PreviewPaneTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    // Read by two threads, every box gets its own file; a rebuild reads again; a folder replaces all.
    void boxIShowsEntryIMinusOneAndARebuildReadsTheFilesAgain()
    {
        Desk desk;
        desk.writeNumbered(600);
        desk.write(u"two/a.txt"_s, "a\n");
        desk.write(u"two/readme.md"_s, "not a note\n");
        app::frmMain& form = desk.start(desk.path(u"notes"_s));
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {600});
        for (int i = 1; i <= 600; ++i)
            QCOMPARE(form.txtPreview(i).Text(), Desk::numbered(i) + u"\r\nline two"_s);
        desk.write(u"notes/note01.txt"_s, "first changed\n");
        desk.write(u"notes/note600.txt"_s, "last changed\n");
        form.CreateItem();
        QCOMPARE(form.txtPreview(1).Text(), u"first changed"_s);
        QCOMPARE(form.txtPreview(600).Text(), u"last changed"_s);
        form.DirList.SetPath(desk.path(u"two"_s));
        QCOMPARE(desk.previews(), QStringList {u"a.txt: a"_s});
        QCOMPARE(form.txtPreview(1).Top(), 0.0f);
    }

    // Only a line of nothing but spaces is blank; a tab is text the user put there. The lines
    // that are wanted fit the box without scrolling; the box is locked, but its text can be selected.
    void aBoxShowsTheFirstNonBlankLinesLockedButSelectable()
    {
        Desk desk;
        desk.write(u"a.txt"_s, "\n   \nfirst\n \n\tsecond\r\nthird\nfourth\nfifth\nsixth\n");
        app::frmMain& form = desk.start(desk.top());
        QCOMPARE(form.txtPreview(1).Text(), u"first\r\n\tsecond\r\nthird\r\nfourth\r\nfifth"_s);
        platform::TextEditWidget* view = form.txtPreview(1).View();
        QCOMPARE(view->verticalScrollBar()->maximum(), 0);
        view->setFocus();
        QTest::keyClicks(view, u"typed"_s);
        QTest::keyClick(view, Qt::Key_Delete);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(view->toPlainText(), u"first\n\tsecond\nthird\nfourth\nfifth"_s);
        QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view->textCursor().selectedText(), u"first"_s);
    }

    // Resizing gives the rest to the file list and the viewport, bar a size a control refuses.
    // The scroll range is the boxes that do not fit (Max = ItemCount - PageItems); the viewport's
    // inner height (4 less) is rounded half to even before the division.
    void theClientAreaDecidesThePanesAndTheScrollRange_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<QSizeF>("client");
        QTest::addColumn<int>("pageItems");
        QTest::addColumn<int>("largeChange");
        QTest::addColumn<float>("fileListHeight");
        QTest::addColumn<float>("viewportWidth");
        QTest::newRow("as designed, 20 files") << 20 << QSizeF(801, 506) << 6 << 6 << 234.0f << 585.0f;
        QTest::newRow("inner 485 holds five") << 20 << QSizeF(801, 489) << 5 << 5 << 217.0f << 585.0f;
        QTest::newRow("inner 161.5 counts as 162") << 20 << QSizeF(801, 165.5) << 2 << 2 << 234.0f << 585.0f;
        QTest::newRow("inner 80.5 counts as 80, none fit") << 20 << QSizeF(801, 84.5) << 0 << 6 << 234.0f << 585.0f;
        QTest::newRow("exactly a page") << 6 << QSizeF(801, 506) << 6 << 6 << 234.0f << 585.0f;
        QTest::newRow("empty folder") << 0 << QSizeF(801, 506) << 6 << 6 << 234.0f << 585.0f;
        QTest::newRow("file list 0 high") << 12 << QSizeF(801, 272) << 3 << 3 << 0.0f << 585.0f;
        QTest::newRow("file list -1 high is refused") << 12 << QSizeF(801, 271) << 3 << 3 << 234.0f << 585.0f;
        QTest::newRow("viewport -6 wide is refused") << 12 << QSizeF(210, 506) << 6 << 6 << 234.0f << 585.0f;
    }
    void theClientAreaDecidesThePanesAndTheScrollRange()
    {
        QFETCH(int, files);
        QFETCH(QSizeF, client);
        QFETCH(int, pageItems);
        QFETCH(int, largeChange);
        QFETCH(float, fileListHeight);
        QFETCH(float, viewportWidth);
        Desk desk;
        desk.writeNumbered(files);
        app::frmMain& form = desk.start(desk.path(u"notes"_s));
        form.Me.ResizeClient(float(client.width()), float(client.height()));
        QCOMPARE(form.PageItems, pageItems);
        QCOMPARE(int(form.VScroll.Max()), std::max(files - pageItems, 0));
        QCOMPARE(form.VScroll.Enabled(), files > pageItems);
        QCOMPARE(int(form.VScroll.LargeChange()), largeChange);
        QCOMPARE(form.picContainer.Height(), 81.0f * files);
        QCOMPARE(QPointF(form.SplitX, form.SplitY), QPointF(208, 264));
        QCOMPARE(form.FileList.Height(), fileListHeight);
        QCOMPARE(form.picPreview.Width(), viewportWidth);
        QCOMPARE(form.picPreview.Left() + form.picPreview.Width(), form.FormWidth); // docked right
        QCOMPARE(form.VScroll.Left() + form.VScroll.Width(), form.picPreview.ScaleWidth());
        QCOMPARE(form.picContainer.Width(), form.VScroll.Left());
        QCOMPARE(form.VScroll.Height(), form.ViewHeight);
        for (int i = 0; i <= form.txtPreview.UBound(); ++i)
            QCOMPARE(form.txtPreview(i).Width(), form.picContainer.ScaleWidth());
    }

    // Only the boxes in view get an editor widget, each on its own file, wherever the canvas is.
    void scrollingShowsEveryBoxInViewOnItsOwnFile()
    {
        Desk desk;
        desk.writeNumbered(20);
        app::frmMain& form = desk.start(desk.path(u"notes"_s));
        QWidget* bar = form.VScroll.widget();
        const auto checkAt = [&](int value) {
            QCOMPARE(int(form.VScroll.Value()), value);
            QCOMPARE(form.picContainer.Top(), -81.0f * value);
            for (int i = 1; i <= 20; ++i) {
                const float top = form.picContainer.Top() + form.txtPreview(i).Top();
                platform::TextEditWidget* view = form.txtPreview(i).View();
                QCOMPARE(view != nullptr, top < form.ViewHeight && top + 81 > 0);
                if (view)
                    QCOMPARE(view->toPlainText(), Desk::numbered(i) + u"\nline two"_s);
            }
        };
        checkAt(0);
        QTest::keyClick(bar, Qt::Key_PageDown);
        checkAt(6);
        QTest::keyClick(bar, Qt::Key_End);
        checkAt(14);
    }

    // A pipe waits for a writer: it is not listed, and a listed file replaced by one before a
    // rebuild neither stalls the window nor harms the other boxes.
    void specialFilesNeverBlockTheWindow()
    {
        Desk desk;
        for (const char* name : {"a", "b", "c"})
            desk.write(QByteArray(name) + ".txt", QByteArray(name) + " note\n");
        makeFifo(desk.path(u"pipe.txt"_s));
        app::frmMain& form = desk.start(desk.top());
        const QString b = desk.path(u"b.txt"_s);
        QVERIFY(QFile::remove(b));
        makeFifo(b);
        QCOMPARE(form.FileList.Names(), (QStringList {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s}));
        form.CreateItem();
        QCOMPARE(desk.previews(), (QStringList {u"a.txt: a note"_s, u"b.txt: 无法加载 "_s + b, u"c.txt: c note"_s}));
    }

    // The list's count is 16-bit; a larger folder keeps its first names in order, and must not
    // wrap the count or put the previews and the scroll range out of step with the list.
    void aFolderPastTheSixteenBitCountFillsTheListTo32767()
    {
        Desk desk;
        for (int i = 0; i < 32'770; ++i)
            desk.write("n" + QByteArray::number(i) + ".txt", {});
        app::frmMain& form = desk.start(desk.top());
        QCOMPARE(form.FileList.ListCount(), std::int16_t {32767});
        QCOMPARE(form.FileList.List(32766), u"n32766.txt"_s);
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {32767});
        QCOMPARE(std::int32_t {form.VScroll.Max()}, 32767 - form.PageItems);
        QTest::keyClick(form.VScroll.widget(), Qt::Key_End);
        QCOMPARE(form.txtPreview(32767).ToolTipText(), form.FileList.List(32766));
        QVERIFY(form.txtPreview(32767).View() != nullptr);
    }
};

QTEST_MAIN(PreviewPaneTest)
#include "tst_previewpane.moc"
