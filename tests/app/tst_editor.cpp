#include "app/frmMain.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/desktop/Application.h"
#include "platform/drives/DriveTable.h"
#include "platform/runtime/ProcessLauncher.h"
#include "platform/runtime/Strings.h"
#include "platform/widgets/TextEditWidget.h"
#include "support/FakeDrives.h"
#include "support/StandInEditor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString ErrorTitle = u"出错了，无法打开。"_s;

// What a message box showed, read while it was up.
struct SeenBox {
    int count {0};
    QMessageBox::Icon icon {QMessageBox::NoIcon};
    QString title;
    QString text;
    QList<QMessageBox::StandardButton> buttons;
};

// While it lives, answers every message box the window shows with its OK button, noting
// what the box said. The box is modal, so this runs from a timer inside its event loop;
// without it, a box that a test does not expect would wait for a click for ever.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::look);
        m_timer.start();
    }
    const SeenBox& seen() const { return m_seen; }

private:
    void look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        ++m_seen.count;
        m_seen.icon = box->icon();
        m_seen.title = box->windowTitle();
        m_seen.text = box->text();
        m_seen.buttons.clear();
        for (QAbstractButton* button : box->buttons())
            m_seen.buttons.append(box->standardButton(button));
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
    }

    QTimer m_timer;
    SeenBox m_seen;
};

} // namespace

class EditorTest : public QObject {
    Q_OBJECT

private:
    SavedSurroundings m_saved;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<app::frmMain> m_form;
    StandInEditor m_editor;

    QString work() const { return QDir(m_work->path()).canonicalPath(); }
    QString docs() const { return work() + u"/docs"_s; }
    QString notes() const { return docs() + u"/notes"_s; }
    app::frmMain& form() { return *m_form; }

    static void write(const QString& path, const QByteArray& bytes = "text\n")
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The window, started in the given folder on a drive mounted at docs.
    void start(const QString& folder)
    {
        m_form = std::make_unique<app::frmMain>(oneDiskAt(docs(), folder));
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form->Me.widget()));
    }

    QString nextRecord() { return m_editor.nextRecord(work()); }

    static QList<QByteArray> argumentsOf(const QString& record) { return StandInEditor::argumentsOf(record); }

    void doubleClickFile(int row)
    {
        auto* view = qobject_cast<QListView*>(form().FileList.widget());
        const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    void doubleClickPreview(int index)
    {
        platform::TextEditWidget* view = form().txtPreview(index).View();
        QVERIFY(view != nullptr);
        const QPoint at(20, 8);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    // The window as far as opening a file could change it.
    QStringList stateOfTheWindow()
    {
        QStringList state {form().DriveList.Drive(), form().DirList.Path(), form().FileList.Path(),
            form().txtPath.Text(), QString::number(form().FileList.ListIndex()),
            QString::number(form().txtPreview.UBound())};
        for (int i = 1; i <= form().txtPreview.UBound(); ++i)
            state << form().txtPreview(i).Text() << form().txtPreview(i).ToolTipText();
        return state;
    }

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void init()
    {
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(m_work->isValid());
        QVERIFY(QDir(work()).mkpath(u"empty"_s));
        QVERIFY(QDir(work()).mkpath(u"docs/notes"_s));
        StandInEditor::installAloneOnPath(work());
    }

    void cleanup()
    {
        m_form.reset();
        m_saved.restore();
        m_work.reset();
    }

    void doubleClickingAFileStartsTheEditorWithItsOneAbsolutePath()
    {
        write(notes() + u"/a.txt"_s);
        write(notes() + u"/b.txt"_s);
        start(notes());
        BoxAnswerer boxes;
        const QString record = nextRecord();
        doubleClickFile(0);
        QCOMPARE(argumentsOf(record), (QList<QByteArray> {QFile::encodeName(notes() + u"/a.txt"_s)}));
        QCOMPARE(boxes.seen().count, 0);
    }

    void enterOnASelectedFileOpensItToo()
    {
        write(notes() + u"/a.txt"_s);
        write(notes() + u"/b.txt"_s);
        start(notes());
        BoxAnswerer boxes;
        QWidget* list = form().FileList.widget();
        list->setFocus();
        form().FileList.SetListIndex(0);
        QTest::keyClick(list, Qt::Key_Down);
        const QString record = nextRecord();
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(argumentsOf(record), (QList<QByteArray> {QFile::encodeName(notes() + u"/b.txt"_s)}));
        QCOMPARE(boxes.seen().count, 0);
    }

    void aFileAtTheRootOfADriveGetsOneSeparator()
    {
        write(docs() + u"/a.txt"_s);
        start(docs());
        BoxAnswerer boxes;
        const QString record = nextRecord();
        doubleClickFile(0);
        QCOMPARE(argumentsOf(record), (QList<QByteArray> {QFile::encodeName(docs() + u"/a.txt"_s)}));
    }

    // The file system's root is the one folder whose path already ends in the separator;
    // the test may not write there, so it checks what would be started for a file in it.
    void aFileInTheFileSystemRootGetsOneSeparator()
    {
        start(notes());
        form().FileList.SetPath(u"/"_s);
        QCOMPARE(form().FileList.Path(), u"/"_s);
        const QString commandLine
            = u"Notepad.exe "_s + platform::Strings::FolderPrefix(form().FileList.Path()) + u"a.txt"_s;
        QCOMPARE(platform::ProcessLauncher::Resolve(commandLine).arguments.mid(1), (QList<QByteArray> {"/a.txt"}));
    }

    void aNameWithSpacesAndShellCharactersArrivesWholeAndNothingElseRuns()
    {
        const QString name = u"my notes; touch MARKER & $(touch MARKER) `touch MARKER` 'it' \"is\" | -rf.txt"_s;
        write(notes() + u'/' + name);
        start(notes());
        BoxAnswerer boxes;
        QCOMPARE(form().FileList.List(0), name);
        const QString record = nextRecord();
        doubleClickFile(0);
        QCOMPARE(argumentsOf(record), (QList<QByteArray> {QFile::encodeName(notes() + u'/' + name)}));
        QVERIFY(!QFile::exists(work() + u"/MARKER"_s));
        QVERIFY(!QFile::exists(notes() + u"/MARKER"_s));
        QCOMPARE(boxes.seen().count, 0);
    }

    void doubleClickingPreviewBoxThreeSelectsListEntryTwoAndOpensIt()
    {
        for (const QString& name : {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s})
            write(notes() + u'/' + name, "one two three\n");
        start(notes());
        BoxAnswerer boxes;
        QCOMPARE(form().FileList.ListIndex(), std::int16_t {-1});
        const QString record = nextRecord();
        doubleClickPreview(3);
        QCOMPARE(form().FileList.ListIndex(), std::int16_t {2});
        QCOMPARE(form().txtPreview(3).SelLength(), 0); // the word the double-click chose is let go
        QCOMPARE(argumentsOf(record), (QList<QByteArray> {QFile::encodeName(notes() + u"/c.txt"_s)}));
        QCOMPARE(boxes.seen().count, 0);
    }

    // With nothing selected the editor must not be handed the bare folder: the name of
    // entry -1 is an error, and the box says so.
    void withNothingSelectedTheBoxShowsAndNothingStarts()
    {
        write(notes() + u"/a.txt"_s);
        start(notes());
        BoxAnswerer boxes;
        const QString record = nextRecord();
        QCOMPARE(form().FileList.ListIndex(), std::int16_t {-1});
        form().FileList_DblClick();
        QCOMPARE(boxes.seen().count, 1);
        QCOMPARE(boxes.seen().title, ErrorTitle);
        QCOMPARE(boxes.seen().text, u"无效的过程调用或参数"_s);
        QVERIFY(!QFile::exists(record + u".done"_s));
    }

    void aLaunchThatFailsShowsTheBoxAndChangesNothing()
    {
        write(notes() + u"/a.txt"_s);
        write(notes() + u"/b.txt"_s);
        start(notes());
        qputenv("PATH", QFile::encodeName(work() + u"/empty"_s)); // neither the editor nor an opener
        BoxAnswerer boxes;
        form().FileList.SetListIndex(1);
        const QStringList before = stateOfTheWindow();
        doubleClickFile(1);
        QCOMPARE(boxes.seen().count, 1);
        QCOMPARE(boxes.seen().title, ErrorTitle);
        QCOMPARE(boxes.seen().icon, QMessageBox::Warning);
        QCOMPARE(boxes.seen().buttons, QList<QMessageBox::StandardButton> {QMessageBox::Ok});
        QCOMPARE(boxes.seen().text, u"文件未找到"_s);
        QCOMPARE(stateOfTheWindow(), before);
    }
};

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"
