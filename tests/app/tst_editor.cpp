#include "support/Fixtures.h"

#include "platform/desktop/Application.h"
#include "platform/widgets/TextEditWidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

// Answers every message box the window shows with its OK button, noting its icon, title and
// text. The box is modal, so this runs from a timer inside its event loop; without it, a box
// that a test does not expect would wait for a click for ever.
class BoxAnswerer : public QObject {
public:
    QStringList seen;

    BoxAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            seen << u"%1 %2: %3"_s.arg(int(box->icon())).arg(box->windowTitle(), box->text());
            box->button(QMessageBox::Ok)->click();
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

enum class Gesture { DoubleClickName, EnterOnName, DoubleClickBox };

struct Notes : Desk {
    QString notes {folder(u"notes"_s)};

    explicit Notes(const QList<QByteArray>& names = {"a.txt", "b.txt", "c.txt", "d.txt"})
    {
        useStandInEditor();
        for (const QByteArray& name : names)
            write("notes/" + name, "whole note\n");
        start(notes);
    }
};

} // namespace

Q_DECLARE_METATYPE(Gesture)

class EditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    // Preview box i shows file list entry i - 1; a double-click on it selects that entry and
    // opens exactly that file.
    void eachGestureOpensItsOwnFileWithItsOneAbsolutePath_data()
    {
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<int>("entry");
        QTest::newRow("double-click the first name") << Gesture::DoubleClickName << 0;
        QTest::newRow("Down, then Enter") << Gesture::EnterOnName << 1;
        QTest::newRow("double-click box 3") << Gesture::DoubleClickBox << 2;
    }
    void eachGestureOpensItsOwnFileWithItsOneAbsolutePath()
    {
        QFETCH(Gesture, gesture);
        QFETCH(int, entry);
        Notes desk;
        BoxAnswerer boxes;
        QWidget* files = desk.form().FileList.widget();
        const QList<QByteArray> arguments = desk.editorArgumentsAfter([&] {
            switch (gesture) {
            case Gesture::DoubleClickName:
                desk.doubleClickName(entry);
                break;
            case Gesture::EnterOnName:
                files->setFocus();
                QTest::keyClick(files, Qt::Key_Home);
                QTest::keyClick(files, Qt::Key_Down);
                QTest::keyClick(files, Qt::Key_Return);
                break;
            case Gesture::DoubleClickBox:
                doubleClick(desk.form().txtPreview(entry + 1).View()->viewport(), QPoint(20, 8));
                QCOMPARE(desk.form().txtPreview(entry + 1).SelLength(), 0); // the chosen word is let go
                break;
            }
        });
        QCOMPARE(desk.form().FileList.ListIndex(), std::int16_t(entry));
        QCOMPARE(arguments, QList<QByteArray> {QFile::encodeName(desk.notes + u'/' + QChar(u'a' + entry) + u".txt")});
        QCOMPARE(boxes.seen, QStringList {});
    }

    // The editor is started without a shell: a name arrives as one argument, byte for byte,
    // and nothing in it runs.
    void aNameAShellWouldSplitOrRunArrivesWhole_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("spaces and quotes") << QByteArray("my 'quoted' \"note\" .txt");
        QTest::newRow("semicolon and ampersand") << QByteArray("a;touch MARKER & touch MARKER.txt");
        QTest::newRow("command substitution") << QByteArray("$(touch MARKER) `touch MARKER`.txt");
        QTest::newRow("newline") << QByteArray("first\ntouch MARKER\n.txt");
        QTest::newRow("leading dash") << QByteArray("-rf --help.txt");
        QTest::newRow("255 bytes of Chinese") << QByteArray("\xe4\xb8\xad").repeated(83) + "a.txt";
    }
    void aNameAShellWouldSplitOrRunArrivesWhole()
    {
        QFETCH(QByteArray, name);
        Notes desk({name});
        QCOMPARE(desk.previews(), QStringList {desk.form().FileList.List(0) + u": whole note"_s});
        QCOMPARE(desk.editorArgumentsAfter([&] { desk.doubleClickName(0); }),
            QList<QByteArray> {desk.bytesOf("notes/" + name)});
        QVERIFY(!desk.markerLeft());
    }

    // With nothing selected the editor must not be handed the bare folder: the name of entry
    // -1 is an error. A failure shows the box with the exclamation mark (icon 2) and leaves
    // the window as it was.
    void aFailedOpenShowsTheBoxAndChangesNothing_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<bool>("editorFound");
        QTest::addColumn<QString>("seen");
        QTest::newRow("nothing selected") << -1 << true << u"2 出错了，无法打开。: 无效的过程调用或参数"_s;
        QTest::newRow("no editor, no opener") << 1 << false << u"2 出错了，无法打开。: 文件未找到"_s;
    }
    void aFailedOpenShowsTheBoxAndChangesNothing()
    {
        QFETCH(int, entry);
        QFETCH(bool, editorFound);
        QFETCH(QString, seen);
        Notes desk;
        if (!editorFound)
            qputenv("PATH", QFile::encodeName(desk.folder(u"empty"_s)));
        desk.form().FileList.SetListIndex(std::int16_t(entry));
        const QStringList before = desk.previews() << desk.form().txtPath.Text() << desk.form().DirList.Path();
        const QString record = desk.nextRecord();
        BoxAnswerer boxes;
        desk.form().FileList_DblClick();
        QCOMPARE(boxes.seen, QStringList {seen});
        QCOMPARE(desk.previews() << desk.form().txtPath.Text() << desk.form().DirList.Path(), before);
        QCOMPARE(desk.form().FileList.ListIndex(), std::int16_t(entry));
        QVERIFY(!QFileInfo::exists(record + u".done"_s));
    }
};

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"
