#include "support/Fixtures.h"

#include "platform/desktop/Application.h"
#include "platform/widgets/TextEditWidget.h"

#include <QScrollBar>

using namespace Qt::Literals::StringLiterals;

// The preview list of the real window: one box per listed file, rebuilt as a whole.
class PreviewListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    // A folder large enough to be read by two threads: every box gets its own file, a
    // rebuild reads the files at both ends again, and another folder replaces every box.
    void boxIShowsEntryIMinusOneAndARebuildReadsTheFilesAgain()
    {
        Desk desk;
        desk.writeNumbered(600);
        desk.write(u"two/a.txt"_s, "a\n");
        desk.write(u"two/readme.md"_s, "not a note\n");
        app::frmMain& form = desk.start(desk.path(u"notes"_s));
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {600});
        for (int i = 1; i <= 600; ++i) {
            QCOMPARE(form.txtPreview(i).ToolTipText(), form.FileList.List(i - 1));
            QCOMPARE(form.txtPreview(i).Text(), Desk::numbered(i) + u"\r\nline two"_s);
        }
        desk.write(u"notes/note01.txt"_s, "first changed\n");
        desk.write(u"notes/note600.txt"_s, "last changed\n");
        form.CreateItem();
        QCOMPARE(form.txtPreview(1).Text(), u"first changed"_s);
        QCOMPARE(form.txtPreview(600).Text(), u"last changed"_s);

        form.DirList.SetPath(desk.path(u"two"_s));
        QCOMPARE(desk.previews(), QStringList {u"a.txt: a"_s});
        QCOMPARE(form.txtPreview(1).Top(), 0.0f);
    }

    // Only a line of nothing but spaces is blank; a tab is text the user put there.
    void aBoxShowsTheFirstNonBlankLinesAsManyAsFit()
    {
        Desk desk;
        desk.write(u"a.txt"_s, "\n   \nfirst\n \n\tsecond\r\nthird\nfourth\nfifth\nsixth\n");
        app::frmMain& form = desk.start(desk.top());
        QCOMPARE(form.LinesPerItem, 5);
        QCOMPARE(form.txtPreview(1).Text(), u"first\r\n\tsecond\r\nthird\r\nfourth\r\nfifth"_s);
        // The lines that are wanted fit the box: it never needs scrolling of its own.
        platform::TextEditWidget* view = form.txtPreview(1).View();
        QVERIFY(view);
        QCOMPARE(view->verticalScrollBar()->maximum(), 0);
    }

    void aShownBoxIsLockedButItsTextCanBeSelected()
    {
        Desk desk;
        desk.write(u"a.txt"_s, "first line\nsecond\n");
        app::frmMain& form = desk.start(desk.top());
        platform::TextEditWidget* view = form.txtPreview(1).View();
        QVERIFY(view);
        view->setFocus();
        QTest::keyClicks(view, u"typed"_s);
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return})
            QTest::keyClick(view, key);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(view->toPlainText(), u"first line\nsecond"_s);
        QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view->textCursor().selectedText(), u"first line"_s);
    }

    // Rebuilding the same folder and dragging the splitters back and forth must not leave
    // preview boxes or bound views behind.
    void rebuildsAndDragsLeaveNoBoxesOrViewsBehind()
    {
        Desk desk;
        desk.writeNumbered(200);
        app::frmMain& form = desk.start(desk.path(u"notes"_s));
        const std::size_t boxes = form.txtPreview.Count();
        const std::size_t views = form.txtPreview.BoundViews();
        for (int i = 0; i < 5; ++i)
            form.DirList_Change();
        form.PicHV_MouseMove(0, 0, 50.0f, 50.0f); // the grab offset, as the pointer arrives
        for (int step = 0; step < 40; ++step) {
            const float delta = step % 2 ? -5.0f : 5.0f;
            form.PicHV_MouseMove(1, 0, 50.0f + delta, 50.0f + delta);
        }
        QCOMPARE(form.txtPreview.Count(), boxes);
        QCOMPARE(form.txtPreview.BoundViews(), views);
    }
};

QTEST_MAIN(PreviewListTest)
#include "tst_previewlist.moc"
