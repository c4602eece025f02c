#include "app/frmMain.h"
#include "platform/controls/TextBoxElement.h"
#include "platform/desktop/Application.h"
#include "platform/drives/DriveTable.h"
#include "support/FakeDrives.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QListView>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <sys/inotify.h>
#include <unistd.h>

using platform::DriveTable;
using platform::MountEntry;
using namespace Qt::Literals::StringLiterals;

namespace {

// Counts how often each file of a folder is opened, through the kernel's own notification,
// so that a test can tell how many times the previews were built without any hook in the
// window: every build opens each listed file once to read its first lines.
class OpenCounter {
public:
    explicit OpenCounter(const QString& folder)
        : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (m_fd >= 0)
            ::inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~OpenCounter()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OpenCounter(const OpenCounter&) = delete;
    OpenCounter& operator=(const OpenCounter&) = delete;

    bool isValid() const { return m_fd >= 0; }

    // Opens of the named file since the last question about it.
    int opensOf(const QString& name)
    {
        drain();
        return m_opens.take(name);
    }

    // Forgets what happened so far.
    void reset()
    {
        drain();
        m_opens.clear();
    }

private:
    void drain()
    {
        alignas(inotify_event) char buffer[8192];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got <= 0)
                return;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && !(event->mask & IN_ISDIR))
                    ++m_opens[QString::fromUtf8(event->name)];
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

    int m_fd;
    QHash<QString, int> m_opens;
};

QString textOf(const QString& mountPoint)
{
    return mountPoint + u" [本地磁盘]"_s;
}

// A desk of three drives, each a temporary folder: a-disk holding the folder the program
// starts in, b-offline that does not answer, and c-disk. In the drive list they follow the
// root in that order.
struct Desk {
    QTemporaryDir dir;
    QString top {QDir(dir.path()).canonicalPath()};
    QString a {top + u"/a-disk"_s};
    QString offline {top + u"/b-offline"_s};
    QString c {top + u"/c-disk"_s};
    QString notes {a + u"/notes"_s};
    QString sub {notes + u"/sub"_s};
    std::unique_ptr<app::frmMain> form;

    enum class Offline { NotReady, MountPointGone };

    explicit Desk(Offline offlineKind = Offline::NotReady)
    {
        for (const QString& folder : QStringList {sub, offline, c + u"/x/y/z"_s})
            QDir().mkpath(folder);
        for (const QString& name : {u"n1.txt"_s, u"n2.txt"_s, u"n3.txt"_s})
            write(notes + u'/' + name, "note " + name.toUtf8());
        for (const QString& name : {u"s1.txt"_s, u"s2.txt"_s})
            write(sub + u'/' + name, "sub " + name.toUtf8());
        for (const QString& name : {u"c1.txt"_s, u"c2.txt"_s})
            write(c + u'/' + name, "drive c " + name.toUtf8());
        write(c + u"/x/y/z/zz.txt"_s, "deep");

        QSet<QString> notReady;
        if (offlineKind == Offline::NotReady)
            notReady.insert(offline);
        else
            QDir(offline).removeRecursively();
        auto drives = std::make_unique<DriveTable>(
            fakeDrives(QList<MountEntry> {disk(a, "/dev/fake1"), disk(offline, "/dev/fake2"), disk(c, "/dev/fake3")},
                notes, unready(notReady)));
        form = std::make_unique<app::frmMain>(std::move(drives));
        form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(form->Me.widget()));
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes + "\n");
    }

    QComboBox* driveCombo() const { return qobject_cast<QComboBox*>(form->DriveList.widget()); }
    QListView* dirView() const { return qobject_cast<QListView*>(form->DirList.widget()); }
    QWidget* pathBox() const { return form->txtPath.widget(); }

    int dirRow(const QString& path) const
    {
        for (int row = 0; row < form->DirList.EntryCount(); ++row) {
            if (form->DirList.EntryPath(row) == path)
                return row;
        }
        return -1;
    }

    QPoint dirPoint(const QString& path) const
    {
        const int row = dirRow(path);
        return dirView()->visualRect(dirView()->model()->index(row, 0)).center();
    }

    // A real double-click: a click that presses the entry, then the double-click itself.
    void doubleClickFolder(const QString& path) const
    {
        QVERIFY(dirRow(path) >= 0);
        QTest::mouseClick(dirView()->viewport(), Qt::LeftButton, {}, dirPoint(path));
        QTest::mouseDClick(dirView()->viewport(), Qt::LeftButton, {}, dirPoint(path));
    }

    // Opens the drive list's popup and chooses the drive with the keyboard, as F4, the
    // arrow keys and Enter would.
    void chooseDrive(const QString& mountPoint) const
    {
        QComboBox* combo = driveCombo();
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_F4);
        QVERIFY(combo->view()->isVisible());
        const int row = combo->findText(textOf(mountPoint));
        QVERIFY(row >= 0);
        combo->view()->setCurrentIndex(combo->model()->index(row, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
    }

    // Replaces the path text at once, as pasting over a selection does: one change.
    void paste(const QString& text) const
    {
        pathBox()->setFocus();
        QTest::keyClick(pathBox(), Qt::Key_A, Qt::ControlModifier);
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(pathBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form->txtPath.Text(), text);
    }

    void typeAtEnd(const QString& text) const
    {
        pathBox()->setFocus();
        QTest::keyClick(pathBox(), Qt::Key_End);
        QTest::keyClicks(pathBox(), text);
    }

    // Every pane shows the folder, and each preview box the file at its place in the list.
    void checkAllShow(const QString& folder, const QString& drive) const
    {
        QCOMPARE(form->DriveList.Drive(), textOf(drive));
        QCOMPARE(form->DirList.Path(), folder);
        QCOMPARE(form->FileList.Path(), folder);
        QCOMPARE(form->txtPath.Text(), folder);
        checkPreviewsFollowTheList();
        QVERIFY(!form->NavBusy);
    }

    void checkPreviewsFollowTheList() const
    {
        QCOMPARE(int(form->txtPreview.UBound()), int(form->FileList.ListCount()));
        for (int i = 1; i <= form->FileList.ListCount(); ++i)
            QCOMPARE(form->txtPreview(i).ToolTipText(), form->FileList.List(i - 1));
    }
};

} // namespace

Q_DECLARE_METATYPE(Desk::Offline)

class NavigationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    void startsInTheProcessFolderOnItsDrive()
    {
        Desk desk;
        desk.checkAllShow(desk.notes, desk.a);
        QCOMPARE(desk.form->FileList.ListCount(), std::int16_t {3});
    }

    void choosingAnotherDriveMovesEveryListAndRebuildsThePreviewsOnce()
    {
        Desk desk;
        OpenCounter opens(desk.c);
        QVERIFY(opens.isValid());
        desk.driveCombo()->setFocus();
        QTest::keyClick(desk.driveCombo(), Qt::Key_End); // the last drive, c-disk
        desk.checkAllShow(desk.c, desk.c);
        QCOMPARE(desk.form->txtPreview(1).Text(), u"drive c c1.txt"_s);
        QCOMPARE(opens.opensOf(u"c1.txt"_s), 1);
    }

    void choosingADriveFromThePopupReturnsToItsCurrentFolder()
    {
        Desk desk;
        desk.chooseDrive(desk.c);
        desk.checkAllShow(desk.c, desk.c);
        desk.chooseDrive(desk.a);
        desk.checkAllShow(desk.notes, desk.a); // the folder the directory list last showed there
    }

    void openingASubFolderByDoubleClickKeepsTheDriveAndRebuildsOnce()
    {
        Desk desk;
        OpenCounter opens(desk.sub);
        desk.doubleClickFolder(desk.sub);
        desk.checkAllShow(desk.sub, desk.a);
        QCOMPARE(opens.opensOf(u"s1.txt"_s), 1);
    }

    void aSingleClickOnlySelectsAndEnterOpens()
    {
        Desk desk;
        QTest::mouseClick(desk.dirView()->viewport(), Qt::LeftButton, {}, desk.dirPoint(desk.sub));
        desk.checkAllShow(desk.notes, desk.a);
        OpenCounter opens(desk.sub);
        QTest::keyClick(desk.dirView(), Qt::Key_Return);
        desk.checkAllShow(desk.sub, desk.a);
        QCOMPARE(opens.opensOf(u"s1.txt"_s), 1);
    }

    void openingTheParentWithTheChainOrBackspaceComesBackUp()
    {
        Desk desk;
        desk.doubleClickFolder(desk.sub);
        desk.doubleClickFolder(desk.notes);
        desk.checkAllShow(desk.notes, desk.a);
        desk.dirView()->setFocus();
        QTest::keyClick(desk.dirView(), Qt::Key_Backspace);
        desk.checkAllShow(desk.a, desk.a);
    }

    // Regression: the guard used to stay set after each typed path, so every second
    // keystroke was ignored and the lists stayed on a folder the text no longer named.
    void typingAPathProcessesEveryKeystroke()
    {
        Desk desk;
        desk.pathBox()->setFocus();
        QTest::keyClick(desk.pathBox(), Qt::Key_End);
        QString expected = desk.notes;
        const auto check = [&] {
            const QString text = desk.form->txtPath.Text();
            if (QFileInfo(text).isDir())
                expected = QDir::cleanPath(text);
            QCOMPARE(desk.form->DirList.Path(), expected);
            QCOMPARE(desk.form->FileList.Path(), expected);
            QVERIFY(!desk.form->NavBusy);
        };
        const auto press = [&](auto&& keystroke) {
            keystroke();
            check();
            return !QTest::currentTestFailed();
        };
        // Back to the desk's top folder one keystroke at a time ...
        for (int i = 0; i < QStringLiteral("a-disk/notes").size(); ++i) {
            if (!press([&] { QTest::keyClick(desk.pathBox(), Qt::Key_Backspace); }))
                return;
        }
        QCOMPARE(desk.form->txtPath.Text(), desk.top + u'/');
        // ... and down to another drive's folder, where "x", "x/", "x/y" ... all exist.
        for (QChar character : u"c-disk/x/y/z"_s) {
            if (!press([&] { QTest::keyClicks(desk.pathBox(), QString(character)); }))
                return;
        }
        QCOMPARE(desk.form->DirList.Path(), desk.c + u"/x/y/z"_s);
        QCOMPARE(desk.form->DriveList.Drive(), textOf(desk.c));
        QCOMPARE(desk.form->txtPreview(1).ToolTipText(), u"zz.txt"_s);
    }

    // Regression: after a typed path the next change of drive or folder was swallowed,
    // leaving the directory list on one folder and everything else on another.
    void aFolderOrDriveChangeAfterTypingIsNotSwallowed()
    {
        Desk desk;
        desk.typeAtEnd(u"/sub"_s);
        QCOMPARE(desk.form->DirList.Path(), desk.sub);
        desk.doubleClickFolder(desk.notes);
        desk.checkAllShow(desk.notes, desk.a);

        desk.typeAtEnd(u"/sub"_s);
        desk.chooseDrive(desk.c);
        desk.checkAllShow(desk.c, desk.c);
    }

    void aTypedPathToAnotherFolderMovesTheListsAndRebuildsThePreviews()
    {
        Desk desk;
        OpenCounter opens(desk.sub);
        desk.paste(desk.sub);
        desk.checkAllShow(desk.sub, desk.a);
        QCOMPARE(opens.opensOf(u"s1.txt"_s), 1);
    }

    void aTrailingSeparatorNamesTheSameFolderAndRebuildsNothing()
    {
        Desk desk;
        OpenCounter opens(desk.notes);
        desk.typeAtEnd(u"/"_s);
        QCOMPARE(desk.form->DirList.Path(), desk.notes);
        QCOMPARE(desk.form->FileList.Path(), desk.notes);
        QCOMPARE(opens.opensOf(u"n1.txt"_s), 0);
        desk.checkPreviewsFollowTheList();
    }

    void aTypedTextThatIsNoFolderLeavesTheListsWhereTheyWere_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("underTheDesk");
        QTest::newRow("missing folder") << u"a-disk/noteszz"_s << true;
        QTest::newRow("a file") << u"a-disk/notes/n1.txt"_s << true;
        QTest::newRow("the drive that does not answer") << u"b-offline"_s << true;
        QTest::newRow("free text") << u"notes"_s << false;
        QTest::newRow("nothing") << QString() << false;
    }
    void aTypedTextThatIsNoFolderLeavesTheListsWhereTheyWere()
    {
        QFETCH(QString, text);
        QFETCH(bool, underTheDesk);
        Desk desk;
        OpenCounter opens(desk.notes);
        desk.paste(underTheDesk ? desk.top + u'/' + text : text);
        QCOMPARE(desk.form->DirList.Path(), desk.notes);
        QCOMPARE(desk.form->FileList.Path(), desk.notes);
        QCOMPARE(desk.form->FileList.ListCount(), std::int16_t {3});
        QCOMPARE(opens.opensOf(u"n1.txt"_s), 0);
        QVERIFY(!desk.form->NavBusy);
    }

    // Whatever the typed text, the previews never show another list than the file list
    // holds: a double-click on a box would open the file at that place in the list.
    void aTypedPathThatReadsTheFolderAnewKeepsThePreviewsInStep()
    {
        Desk desk;
        Desk::write(desk.notes + u"/n0.txt"_s, "arrived since");
        desk.typeAtEnd(u"/"_s);
        QCOMPARE(desk.form->FileList.List(0), u"n0.txt"_s);
        QCOMPARE(desk.form->txtPreview(1).ToolTipText(), u"n0.txt"_s);
        desk.checkPreviewsFollowTheList();
    }

    void aDriveThatIsNotReadyIsSkipped_data()
    {
        QTest::addColumn<Desk::Offline>("kind");
        QTest::newRow("does not answer") << Desk::Offline::NotReady;
        QTest::newRow("mount point gone") << Desk::Offline::MountPointGone;
    }
    void aDriveThatIsNotReadyIsSkipped()
    {
        QFETCH(Desk::Offline, kind);
        Desk desk(kind);
        Desk::write(desk.notes + u"/n4.txt"_s, "arrived since");
        OpenCounter opens(desk.notes);
        desk.driveCombo()->setFocus();
        QTest::keyClick(desk.driveCombo(), Qt::Key_Down); // from a-disk to b-offline
        // The directory list stays; the file list, the path and the previews are read
        // again from it.
        QCOMPARE(desk.form->DirList.Path(), desk.notes);
        QCOMPARE(desk.form->FileList.Path(), desk.notes);
        QCOMPARE(desk.form->FileList.ListCount(), std::int16_t {4});
        QCOMPARE(desk.form->txtPath.Text(), desk.notes);
        desk.checkPreviewsFollowTheList();
        QCOMPARE(opens.opensOf(u"n1.txt"_s), 1);
        QVERIFY(!desk.form->NavBusy);

        // The next change is not swallowed, and brings the drive list back in step.
        desk.doubleClickFolder(desk.sub);
        desk.checkAllShow(desk.sub, desk.a);
    }
};

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
