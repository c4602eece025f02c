#include "support/Fixtures.h"

#include "platform/desktop/Application.h"
#include "platform/hang/ThreadStarter.h"
#include "platform/names/NativePath.h"
#include "platform/widgets/TextEditWidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <optional>
#include <system_error>

using namespace Qt::Literals::StringLiterals;

namespace {

// Answers each modal message box with OK from a timer inside its event loop, noting its icon,
// title and text; a box that a test does not expect would otherwise wait for ever.
struct BoxAnswerer : QObject {
    QStringList seen;
    QTimer timer;

    BoxAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && box->isVisible()) {
                seen << u"%1 %2: %3"_s.arg(int(box->icon())).arg(box->windowTitle(), box->text());
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer.start(10);
    }
};

enum class Gesture { DoubleClickName, EnterOnName, DoubleClickBox };

struct Notes : Desk {
    QString notes {folder(u"notes"_s)};

    explicit Notes(const QList<QByteArray>& names = {"a.txt", "b.txt", "c.txt", "d.txt"})
    {
        useStandInEditor();
        for (const QByteArray& name : names)
            write("notes/" + name, "from " + name.toHex() + "\n");
        start(notes);
    }
};

} // namespace

Q_DECLARE_METATYPE(Gesture)

class EditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    // A double-click on preview box i selects list entry i - 1 and opens exactly that file. No
    // shell starts the editor: a name arrives as one argument, byte for byte, and nothing runs.
    void eachGestureOpensItsOwnFileWithItsOneExactPath_data()
    {
        const QList<QByteArray> four {"a.txt", "b.txt", "c.txt", "d.txt"};
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<QList<QByteArray>>("names");
        QTest::addColumn<int>("entry");
        QTest::newRow("double-click the first name") << Gesture::DoubleClickName << four << 0;
        QTest::newRow("Down, then Enter") << Gesture::EnterOnName << four << 1;
        QTest::newRow("double-click box 3") << Gesture::DoubleClickBox << four << 2;
        QTest::newRow("quotes, ; & and substitution")
            << Gesture::DoubleClickName << QList<QByteArray> {"my 'q' \"n\";touch MARKER & $(touch MARKER).txt"} << 0;
        QTest::newRow("newline") << Gesture::DoubleClickName << QList<QByteArray> {"first\ntouch MARKER\n.txt"} << 0;
        QTest::newRow("leading dash") << Gesture::DoubleClickName << QList<QByteArray> {"-rf --help.txt"} << 0;
    }
    void eachGestureOpensItsOwnFileWithItsOneExactPath()
    {
        QFETCH(Gesture, gesture);
        QFETCH(QList<QByteArray>, names);
        QFETCH(int, entry);
        Notes desk(names);
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
        QCOMPARE(arguments, QList<QByteArray> {desk.bytesOf("notes/" + names[entry])});
        QCOMPARE(boxes.seen, QStringList {});
        QVERIFY(!desk.markerLeft());
    }

    // "中文.txt" in GBK (from archives made on Chinese Windows) and in UTF-8 read the same once decoded.
    // Each must list readably and lead to its own file, in its box and in the editor, as must a name in
    // neither. The box's tooltip and accessible name show the name as the list does: regression,
    // they showed the legacy marker and the private-use characters that stand for the bytes. (Names in
    // another code page than the locale's: tst_mixedfolder.)
    void namesFromOtherSystemsEachOpenTheirOwnFile()
    {
        QList<QByteArray> names {"\xd6\xd0\xce\xc4.txt", "中文.txt", "bad\xff\x80.txt"};
        Notes desk(names);
        app::frmMain& form = desk.form();
        QCOMPARE(form.FileList.ListCount(), std::int16_t {3});
        QStringList shown;
        for (int row = 0; row < 3; ++row) {
            const QByteArray onDisk = platform::NativePath::Encode(desk.path(u"notes/"_s) + form.FileList.List(row));
            const QByteArray name = onDisk.mid(onDisk.lastIndexOf('/') + 1);
            QVERIFY(names.removeOne(name)); // each file reached once
            shown << qobject_cast<QListView*>(form.FileList.widget())->model()->index(row, 0).data().toString();
            QCOMPARE(form.txtPreview(row + 1).Text(), u"from "_s + QString::fromLatin1(name.toHex()));
            const platform::TextEditWidget* box = form.txtPreview(row + 1).View();
            QCOMPARE(box->toolTip(), shown.last());
            QCOMPARE(box->accessibleName(), shown.last());
            QCOMPARE(desk.editorArgumentsAfter([&] { desk.doubleClickName(row); }), QList<QByteArray> {onDisk});
            QCOMPARE(desk.editorArgumentsAfter(
                         [&] { doubleClick(form.txtPreview(row + 1).View()->viewport(), QPoint(20, 8)); }),
                QList<QByteArray> {onDisk});
        }
        QCOMPARE(shown.count(u"中文.txt"_s), 2);
    }

    // With nothing selected the editor must not be handed the bare folder. A failure shows the
    // box with the exclamation mark (icon 2) and leaves the window as it was.
    void aFailedOpenShowsTheBoxAndChangesNothing_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<bool>("editorFound");
        QTest::addColumn<bool>("threads");
        QTest::addColumn<QString>("seen");
        QTest::newRow("nothing selected") << -1 << true << true << u"2 出错了，无法打开。: 无效的过程调用或参数"_s;
        QTest::newRow("no editor, no opener") << 1 << false << true << u"2 出错了，无法打开。: 文件未找到"_s;
        // Regression: a failure to start a thread escaped as an exception and ended the program.
        QTest::newRow("no thread can be started") << 1 << true << false << u"2 出错了，无法打开。: 文件未找到"_s;
    }
    void aFailedOpenShowsTheBoxAndChangesNothing()
    {
        QFETCH(int, entry);
        QFETCH(bool, editorFound);
        QFETCH(bool, threads);
        QFETCH(QString, seen);
        Notes desk;
        if (!editorFound)
            qputenv("PATH", QFile::encodeName(desk.folder(u"empty"_s)));
        std::optional<platform::ThreadStarter::Installed> refusing;
        if (!threads)
            refusing.emplace([](std::function<void()>) {
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            });
        desk.form().FileList.SetListIndex(std::int16_t(entry));
        const QStringList before = desk.previews() << desk.form().txtPath.Text() << desk.form().DirList.Path();
        BoxAnswerer boxes;
        desk.form().FileList_DblClick();
        QCOMPARE(boxes.seen, QStringList {seen});
        QCOMPARE(desk.previews() << desk.form().txtPath.Text() << desk.form().DirList.Path(), before);
        QCOMPARE(desk.form().FileList.ListIndex(), std::int16_t(entry));
    }
};

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"
