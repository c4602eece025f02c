#include "app/frmMain.h"
#include "layout/PaneRules.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/desktop/Application.h"
#include "support/NoteFolder.h"

#include <QFontMetricsF>
#include <QListView>
#include <QWidget>
#include <QtTest>

class StartupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void designIsMeasuredAsDrawnBeforeStartUp()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        QCOMPARE(form.picVBar.Left(), 208.0f);
        QCOMPARE(form.picHBar.Top(), 264.0f);
        QCOMPARE(form.DirList.Top(), 72.0f);
        QCOMPARE(form.picContainer.ScaleHeight(), 81.0f);
        QCOMPARE(form.Me.ScaleWidth(), 801.0f);
        QCOMPARE(form.Me.ScaleHeight(), 506.0f);
        QCOMPARE(form.picPreview.Left(), 224.0f);
        QCOMPARE(form.picPreview.ScaleHeight(), 502.0f);
        QCOMPARE(form.Me.Caption(), QStringLiteral("Vellumry"));
        QCOMPARE(form.lblPath.Caption(), QStringLiteral("请设置文档的路径"));
        QCOMPARE(form.FileList.Pattern(), QStringLiteral("*.txt"));
        QCOMPARE(form.VScroll.Max(), std::int16_t {0});
        QCOMPARE(form.VScroll.LargeChange(), std::int16_t {10});
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {0});
        QVERIFY(!form.txtPreview(0).Visible());
        // Nothing of the layout state is set before start-up.
        QCOMPARE(form.SplitX, 0.0f);
        QCOMPARE(form.ItemHeight, 0.0f);
    }

    void startUpPlacesTheNavigationPaneAndViewport()
    {
        NoteFolder notes;
        notes.writeNumbered(3);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();

        QCOMPARE(form.SplitX, 208.0f);
        QCOMPARE(form.SplitY, 264.0f);
        QCOMPARE(form.DirTop, 72.0f);
        QCOMPARE(form.FormWidth, 801.0f);
        QCOMPARE(form.FormHeight, 506.0f);
        QCOMPARE(form.ItemHeight, 81.0f);
        QCOMPARE(form.DirList.Height(), 192.0f);
        for (const platform::Control* control : std::initializer_list<const platform::Control*> {
                 &form.picHBar, &form.txtPath, &form.DriveList, &form.DirList, &form.FileList})
            QCOMPARE(control->Width(), 208.0f);
        QCOMPARE(form.FileList.Left(), 0.0f);
        QCOMPARE(form.FileList.Top(), 272.0f);
        QCOMPARE(form.FileList.Height(), 234.0f);
        QCOMPARE(form.PicHV.Left(), 208.0f);
        QCOMPARE(form.PicHV.Top(), 264.0f);
        QCOMPARE(form.PicHV.Width(), 9.0f);
        QCOMPARE(form.picPreview.Width(), 585.0f);
        QCOMPARE(form.picPreview.Left(), 216.0f);
        QCOMPARE(form.picVBar.Height(), 506.0f);
    }

    void linesPerItemComesFromTheCanvasFontHeight()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        const float textHeight = form.picContainer.TextHeight(QStringLiteral("A"));
        QCOMPARE(form.LinesPerItem, layout::PaneRules::LinesPerItem(81.0f, textHeight));
        QVERIFY(form.LinesPerItem >= 4);
        // Chinese and Latin lines are equally tall in the chosen font, so the lines fit.
        const QFontMetricsF metrics(form.picContainer.widget()->font());
        QCOMPARE(metrics.boundingRect(QStringLiteral("汉")).height() <= metrics.height() + 1, true);
    }

    void textHeightRoundingToZeroLeavesEmptyBoxesAndStartUpCompletes()
    {
        NoteFolder notes;
        notes.writeNumbered(3);
        CurrentFolder here(notes.path());
        app::frmMain form;
        QFont tiny = form.picContainer.widget()->font();
        tiny.setPointSizeF(0.05);
        form.picContainer.widget()->setFont(tiny);
        QVERIFY(form.picContainer.TextHeight(QStringLiteral("A")) < 0.5f);
        form.Show();
        QCOMPARE(form.LinesPerItem, 0);
        // The steps after the failing one still ran: the pane is laid out and every file
        // has its box, empty because no line is wanted.
        QCOMPARE(form.picPreview.Width(), 585.0f);
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {3});
        QCOMPARE(form.txtPreview(2).Text(), QString());
        QCOMPARE(form.txtPreview(2).ToolTipText(), QStringLiteral("note02.txt"));
    }

    void startUpShowsTheCurrentFolderEverywhere()
    {
        NoteFolder notes;
        notes.writeNumbered(5);
        notes.write(QStringLiteral("readme.md"), "not listed");
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.DirList.Path(), notes.path());
        QCOMPARE(form.FileList.Path(), notes.path());
        QCOMPARE(form.txtPath.Text(), notes.path());
        QCOMPARE(form.FileList.ListCount(), std::int16_t {5});
        // Built twice by design, ending with one box per listed file.
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {5});
        QCOMPARE(form.txtPreview.Count(), std::size_t {6});
        QVERIFY(!form.NavBusy);
    }

    void tabOrderVisitsTheSplittersBeforeTheDriveList()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QVERIFY(QTest::qWaitForWindowActive(form.Me.widget()));
        form.FileList.widget()->setFocus();
        const QList<QWidget*> expected {
            form.picVBar.widget(), form.picHBar.widget(), form.PicHV.widget(), form.DriveList.widget()};
        for (QWidget* next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void splitterPiecesShowSizingPointersAndTheJunctionLiesOnTop()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.picVBar.widget()->cursor().shape(), Qt::SizeHorCursor);
        QCOMPARE(form.picHBar.widget()->cursor().shape(), Qt::SizeVerCursor);
        QCOMPARE(form.PicHV.widget()->cursor().shape(), Qt::SizeAllCursor);
        QWidget* top = form.Me.widget()->childAt(212, 268);
        QVERIFY(top == form.PicHV.widget() || form.PicHV.widget()->isAncestorOf(top));
    }

    void everyControlHasAChineseAccessibleName()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        for (const platform::Control* control : std::initializer_list<const platform::Control*> {&form.txtPath,
                 &form.DriveList, &form.DirList, &form.FileList, &form.picVBar, &form.picHBar, &form.PicHV,
                 &form.picPreview, &form.picContainer, &form.VScroll}) {
            const QString name = control->widget()->accessibleName();
            QVERIFY2(!name.isEmpty(), qPrintable(control->widget()->metaObject()->className()));
            QVERIFY(std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() >= 0x4E00; }));
        }
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
