#include "app/frmMain.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/desktop/Application.h"
#include "platform/widgets/TextEditWidget.h"
#include "support/NoteFolder.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

// The preview list of the real window: one box per listed file, rebuilt as a whole.
class PreviewListTest : public QObject {
    Q_OBJECT

private:
    static QList<int> boxTops(app::frmMain& form)
    {
        QList<int> tops;
        for (int i = 1; i <= form.txtPreview.UBound(); ++i)
            tops << static_cast<int>(form.txtPreview(i).Top());
        return tops;
    }

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void aFolderWithoutTextFilesLeavesOnlyTheHiddenTemplate()
    {
        NoteFolder notes;
        notes.write(QStringLiteral("readme.md"), "not a note\n");
        notes.write(QStringLiteral("image.png"), "\x89PNG");
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {0});
        QCOMPARE(form.txtPreview.Count(), std::size_t {1});
        QVERIFY(!form.txtPreview(0).Visible());
        QCOMPARE(form.txtPreview.BoundViews(), std::size_t {0});
    }

    void fiveFilesThenTwoUnloadsFromTheTopAndStacksTheNewBoxes()
    {
        NoteFolder notes;
        notes.writeNumbered(5);
        const QString two = notes.makeFolder(QStringLiteral("two"));
        for (const QString& name : {QStringLiteral("a.txt"), QStringLiteral("b.txt")}) {
            QFile file(two + QLatin1Char('/') + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("text\n");
        }
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.txtPreview.UBound(), std::int16_t {5});

        QList<int> unloaded;
        QList<int> loaded;
        connect(&form.txtPreview, &platform::TextBoxArray::ElementUnloaded, this,
            [&](std::int16_t index) { unloaded << index; });
        connect(&form.txtPreview, &platform::TextBoxArray::ElementLoaded, this,
            [&](std::int16_t index) { loaded << index; });
        form.FileList.SetPath(two);
        form.CreateItem();

        QCOMPARE(unloaded, (QList<int> {5, 4, 3, 2, 1}));
        QCOMPARE(loaded, (QList<int> {1, 2}));
        QCOMPARE(boxTops(form), (QList<int> {0, 81}));
        QCOMPARE(form.txtPreview(2).ToolTipText(), QStringLiteral("b.txt"));
        QVERIFY(form.txtPreview(1).Visible());
        QCOMPARE(form.txtPreview(1).Height(), 81.0f);
        QCOMPARE(form.txtPreview(1).Width(), form.picContainer.ScaleWidth());
    }

    void boxThreeShowsTheThirdFileWithItsBareNameAsTip()
    {
        NoteFolder notes;
        notes.writeNumbered(5);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.FileList.List(2), QStringLiteral("note03.txt"));
        const platform::TextBoxElement& box = form.txtPreview(3);
        QCOMPARE(box.Text(), QStringLiteral("第 3 篇 note 3\r\nsecond line"));
        QCOMPARE(box.ToolTipText(), QStringLiteral("note03.txt"));
        QCOMPARE(box.Top(), 2 * 81.0f);
        // Every box keeps its own text: the previews were read one after another through one
        // reused buffer.
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(form.txtPreview(i).Text(), QStringLiteral("第 %1 篇 note %1\r\nsecond line").arg(i));
    }

    void theRootFolderGetsASingleSeparator()
    {
        NoteFolder notes;
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        form.FileList.SetPath(QStringLiteral("/"));
        form.CreateItem();
        QCOMPARE(form.FolderPath, QStringLiteral("/"));
        QCOMPARE(form.ItemCount, std::int32_t(form.FileList.ListCount()));
        for (int i = 1; i <= form.txtPreview.UBound(); ++i)
            QVERIFY(!form.txtPreview(i).Text().startsWith(QStringLiteral("无法加载 //")));
    }

    void aFolderPrefixEndsInExactlyOneSeparator()
    {
        NoteFolder notes;
        notes.writeNumbered(1);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        form.FileList.SetPath(notes.path() + QLatin1Char('/'));
        form.CreateItem();
        QCOMPARE(form.FolderPath, notes.path() + QLatin1Char('/'));
        QCOMPARE(form.txtPreview(1).Text(), QStringLiteral("第 1 篇 note 1\r\nsecond line"));
    }

    void aCanvasWidthChangeWidensEveryBoxTheTemplateIncluded()
    {
        NoteFolder notes;
        notes.writeNumbered(12);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        const QList<int> topsBefore = boxTops(form);
        const float widthBefore = form.picContainer.ScaleWidth();
        form.Me.ResizeClient(form.Me.ScaleWidth() + 120, form.Me.ScaleHeight());
        const float width = form.picContainer.ScaleWidth();
        QCOMPARE(width, widthBefore + 120);
        for (int i = 0; i <= 12; ++i)
            QCOMPARE(form.txtPreview(i).Width(), width);
        QCOMPARE(boxTops(form), topsBefore);
        QVERIFY(!form.txtPreview(0).Visible());
        for (int i = 1; i <= 12; ++i) {
            if (platform::TextEditWidget* view = form.txtPreview(i).View())
                QCOMPARE(view->width(), static_cast<int>(width));
        }
    }

    void rebuildingTheSameFolderMakesFreshBoxesAndReadsEveryFileAgain()
    {
        NoteFolder notes;
        notes.writeNumbered(3);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.txtPreview(2).Text(), QStringLiteral("第 2 篇 note 2\r\nsecond line"));

        notes.write(QStringLiteral("note02.txt"), "changed on disk\n");
        QList<int> unloaded;
        QList<int> loaded;
        connect(&form.txtPreview, &platform::TextBoxArray::ElementUnloaded, this,
            [&](std::int16_t index) { unloaded << index; });
        connect(&form.txtPreview, &platform::TextBoxArray::ElementLoaded, this,
            [&](std::int16_t index) { loaded << index; });
        form.CreateItem();

        QCOMPARE(unloaded, (QList<int> {3, 2, 1}));
        QCOMPARE(loaded, (QList<int> {1, 2, 3}));
        QCOMPARE(form.txtPreview(2).Text(), QStringLiteral("changed on disk"));
        QCOMPARE(form.txtPreview(2).View()->toPlainText(), QStringLiteral("changed on disk"));
        QCOMPARE(form.txtPreview(1).Text(), QStringLiteral("第 1 篇 note 1\r\nsecond line"));
    }

    // A folder large enough to be read by two threads: every box still gets its own file,
    // and a rebuild reads the files at both ends again.
    void aLargeFolderGivesEveryBoxItsOwnFileAndARebuildReadsItAgain()
    {
        NoteFolder notes;
        notes.writeNumbered(600);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QCOMPARE(form.txtPreview.UBound(), 600);
        for (int i = 1; i <= 600; ++i) {
            QCOMPARE(form.txtPreview(i).Text(), QStringLiteral("第 %1 篇 note %1\r\nsecond line").arg(i));
            QCOMPARE(form.txtPreview(i).ToolTipText(), QStringLiteral("note%1.txt").arg(i, 2, 10, QLatin1Char('0')));
        }

        notes.write(QStringLiteral("note01.txt"), "first changed\n");
        notes.write(QStringLiteral("note600.txt"), "last changed\n");
        form.CreateItem();
        QCOMPARE(form.txtPreview(1).Text(), QStringLiteral("first changed"));
        QCOMPARE(form.txtPreview(600).Text(), QStringLiteral("last changed"));
        QCOMPARE(form.txtPreview(300).Text(), QStringLiteral("第 300 篇 note 300\r\nsecond line"));
    }

    void aShownBoxIsLockedButItsTextCanBeSelected()
    {
        NoteFolder notes;
        notes.writeNumbered(3);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.Me.widget()));
        platform::TextEditWidget* view = form.txtPreview(1).View();
        QVERIFY(view);
        QVERIFY(view->isVisible());
        const QString shown = view->toPlainText();

        view->setFocus();
        QTest::keyClicks(view, QStringLiteral("typed"));
        QTest::keyClick(view, Qt::Key_Backspace);
        QTest::keyClick(view, Qt::Key_Delete);
        QTest::keyClick(view, Qt::Key_Return);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(view->toPlainText(), shown);
        QCOMPARE(form.txtPreview(1).Text(), QStringLiteral("第 1 篇 note 1\r\nsecond line"));

        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(form.txtPreview(1).SelLength(), static_cast<int>(shown.size()));
        QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view->textCursor().selectedText(), QStringLiteral("第 1 篇 note 1"));
    }

    void theShownBoxCarriesTheFileNameForTipAndScreenReader()
    {
        NoteFolder notes;
        notes.write(QStringLiteral("会议记录.txt"), "周一\n");
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        platform::TextEditWidget* view = form.txtPreview(1).View();
        QVERIFY(view);
        QCOMPARE(view->toolTip(), QStringLiteral("会议记录.txt"));
        QCOMPARE(view->accessibleName(), QStringLiteral("会议记录.txt"));
        QCOMPARE(view->toPlainText(), QStringLiteral("周一"));
    }

    void aFullPreviewFitsItsBoxWithoutScrolling()
    {
        NoteFolder notes;
        QByteArray text;
        for (int i = 1; i <= 10; ++i)
            text += "第 " + QByteArray::number(i) + " 行 line of a note\n";
        notes.write(QStringLiteral("long.txt"), text);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        QVERIFY(QTest::qWaitForWindowExposed(form.Me.widget()));
        QCOMPARE(form.LinesPerItem, 5);
        platform::TextEditWidget* view = form.txtPreview(1).View();
        QVERIFY(view);
        QCOMPARE(view->document()->blockCount(), 5);
        qreal height = 0;
        for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
            height += view->document()->documentLayout()->blockBoundingRect(block).height();
        QVERIFY2(height <= view->viewport()->height(),
            qPrintable(QStringLiteral("%1 > %2").arg(height).arg(view->viewport()->height())));
        QCOMPARE(view->verticalScrollBar()->maximum(), 0);
    }

    void scrollingKeepsEveryShownBoxOnItsOwnFile()
    {
        NoteFolder notes;
        notes.writeNumbered(40);
        CurrentFolder here(notes.path());
        app::frmMain form;
        form.Show();
        for (int value : {1, 7, 20, 19, 34, 0}) {
            form.VScroll.SetValue(value);
            for (int i = 1; i <= 40; ++i) {
                platform::TextEditWidget* view = form.txtPreview(i).View();
                const float top = form.picContainer.Top() + form.txtPreview(i).Top();
                const bool inView = top < form.picPreview.ScaleHeight() && top + 81 > 0;
                QCOMPARE(view != nullptr, inView);
                if (view) {
                    QCOMPARE(view->toPlainText(), QStringLiteral("第 %1 篇 note %1\nsecond line").arg(i));
                    QCOMPARE(view->toolTip(), QStringLiteral("note%1.txt").arg(i, 2, 10, QLatin1Char('0')));
                }
            }
        }
    }
};

QTEST_MAIN(PreviewListTest)
#include "tst_previewlist.moc"
