#include "app/frmMain.h"
#include "platform/desktop/Application.h"
#include "support/NoteFolder.h"

#include <QWidget>
#include <QtTest>

class ResizeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void growingTheWindowLengthensTheSplitterAndWidensTheViewport()
    {
        NoteFolder notes;
        notes.writeNumbered(20);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.Me.widget()));
        form.Me.widget()->resize(901, 606); // as the user's window manager would
        QTRY_COMPARE(form.FormWidth, 901.0f);
        QCOMPARE(form.FormHeight, 606.0f);
        QCOMPARE(form.picVBar.Height(), 606.0f);
        QCOMPARE(form.FileList.Height(), 334.0f);
        QCOMPARE(form.picPreview.Width(), 685.0f);
        QCOMPARE(form.picPreview.Left(), 216.0f);
        QCOMPARE(form.picPreview.Height(), 606.0f);
        QCOMPARE(form.DirList.Width(), 208.0f);
        QCOMPARE(form.picHBar.Top(), 264.0f);
        QCOMPARE(form.picContainer.Width(), form.VScroll.Left());
        QCOMPARE(form.PageItems, 7);
    }

    void smallWindowPlacesTheFileListAndViewport()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        form.Me.ResizeClient(600, 400);
        QCOMPARE(form.FileList.Top(), 272.0f);
        QCOMPARE(form.FileList.Width(), 208.0f);
        QCOMPARE(form.FileList.Height(), 128.0f);
        QCOMPARE(form.picPreview.Width(), 384.0f);
        QCOMPARE(form.picPreview.Left(), 216.0f);
    }

    void fileListHeightReachesZeroAndRefusesNegative()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        form.Me.ResizeClient(801, 271); // SplitY + 7: the move is refused whole
        QCOMPARE(form.FileList.Height(), 234.0f);
        QCOMPARE(form.FileList.Top(), 272.0f);
        QCOMPARE(form.FormHeight, 271.0f);
        form.Me.ResizeClient(801, 272); // SplitY + 8
        QCOMPARE(form.FileList.Height(), 0.0f);
    }

    void narrowWindowKeepsTheViewportWidthButUpdatesTheMeasures()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        form.Me.ResizeClient(210, 506);
        QCOMPARE(form.FormWidth, 210.0f);
        QCOMPARE(form.picPreview.Width(), 585.0f); // -6 refused
        QCOMPARE(form.SplitX, 208.0f);
        QCOMPARE(form.picHBar.Top(), 264.0f);
    }

    void sameSizeAgainChangesNothing()
    {
        NoteFolder notes;
        notes.writeNumbered(8);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        form.Me.ResizeClient(700, 450);
        int viewportResizes = 0;
        connect(&form.picPreview, &platform::PictureBox::Resize, this, [&] { ++viewportResizes; });
        const QRect fileList = form.FileList.widget()->geometry();
        form.Form_Resize();
        QCOMPARE(viewportResizes, 0);
        QCOMPARE(form.FileList.widget()->geometry(), fileList);
        QCOMPARE(form.picPreview.Width(), 484.0f);
    }
};

QTEST_MAIN(ResizeTest)
#include "tst_resize.moc"
