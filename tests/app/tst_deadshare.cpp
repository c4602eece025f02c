#include "support/Fixtures.h"
#include "support/SlowDrive.h"

#include "platform/desktop/Application.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <future>

using namespace Qt::Literals::StringLiterals;

namespace {

// The window on a slow drive mirroring the folder "share" of the desk, with the machine's root
// as a second drive, so that a local folder and /usr can be reached by typing their paths.
struct Share : Desk {
    std::unique_ptr<SlowDrive> drive;

    void mount(const SlowDrive::Options& options = {})
    {
        folder(u"share"_s);
        drive = std::make_unique<SlowDrive>(path(u"share"_s), options);
    }
    void open(const QString& relative = {}) { start(on(relative), {drive->path(), u"/"_s}); }
    QString on(const QString& relative) const
    {
        return relative.isEmpty() ? drive->path() : drive->path() + u'/' + relative;
    }

    QListView* folders() { return qobject_cast<QListView*>(form().DirList.widget()); }
    QWidget* pathBox() { return form().txtPath.widget(); }
    void doubleClickFolder(const QString& folder) { doubleClick(folders()->viewport(), folderRow(folder)); }
    void typePath(const QString& folder)
    {
        pathBox()->setFocus();
        QTest::keyClick(pathBox(), Qt::Key_A, Qt::ControlModifier);
        QGuiApplication::clipboard()->setText(folder);
        QTest::keyClick(pathBox(), Qt::Key_V, Qt::ControlModifier);
    }

    // Every list and the path box show the folder.
    void checkShows(const QString& folder)
    {
        QCOMPARE(form().DirList.Path(), folder);
        QCOMPARE(form().FileList.Path(), folder);
        QCOMPARE(form().txtPath.Text(), folder);
    }
    // The boxes that do not show their notes' numbered text (Desk::writeNumbered).
    int numberedBoxesWrong()
    {
        int wrong = 0;
        for (int i = 1; i <= form().txtPreview.UBound(); ++i)
            wrong += form().txtPreview(i).Text() != Desk::numbered(i) + u"\r\nline two"_s;
        return wrong;
    }
    // Box i is entry i - 1 of the file list, however its text came.
    bool boxesFollowTheList()
    {
        QStringList tips;
        for (int i = 1; i <= form().txtPreview.UBound(); ++i)
            tips << form().txtPreview(i).ToolTipText();
        return tips == form().FileList.Names();
    }
};

int threadCount()
{
    return int(QDir(u"/proc/self/task"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// Ends the drive's stall unless `done` comes first, many deadlines later, so that a window that
// waits for the drive without a deadline comes back to be found out instead of hanging the run.
// True when it had to.
std::future<bool> rescue(const SlowDrive& drive, std::shared_future<void> done)
{
    return std::async(std::launch::async, [&drive, done] {
        const bool late = done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout;
        if (late)
            drive.resume();
        return late;
    });
}

// The program as main runs it, in this process's folder: it asks for a folder that never
// answers, and its window is closed as a user closes it once its event loop runs. Prints the
// previews it showed.
int closeTheWindow(int argc, char** argv)
{
    platform::Application application(argc, argv);
    app::frmMain form;
    form.Show();
    form.txtPath.SetText(QDir::currentPath() + u"/stuck"_s);
    QTimer::singleShot(0, form.Me.widget(), &QWidget::close);
    const int code = application.Run();
    for (int i = 1; i <= form.txtPreview.UBound(); ++i)
        std::fputs(qPrintable(form.txtPreview(i).Text() + u'|'), stdout);
    return code;
}

} // namespace

// A share that stops answering (a NAS gone to sleep, a server that died under a hard mount),
// through the real window on the slow drive: the window never waits for it for longer than
// the deadline, what is stuck stays charged to it, and every other folder goes on working.
class DeadShareTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::Application::ApplyDefaults(); }

    // Regression: the stuck listings were counted for the whole program, and sixteen visits to
    // a dead folder took every folder away; a failed open also listed the current folder again.
    void aDeadFolderOpenedTwentyTimesLeavesItsSiblingALocalFolderAndUsr()
    {
        Share desk;
        desk.write(u"share/ok/n1.txt"_s, "sibling\n");
        desk.write(u"share/stuck/s1.txt"_s);
        desk.writeNumbered(3, u"local"_s);
        desk.mount({1, {u"stuck"_s}, {}});
        REQUIRE_SLOW_DRIVE(*desk.drive);
        desk.open();
        const int threadsBefore = threadCount();
        for (int visit = 0; visit < 20 && !QTest::currentTestFailed(); ++visit) {
            desk.doubleClickFolder(desk.on(u"stuck"_s));
            desk.checkShows(desk.drive->path());
        }
        // One listing is stuck; a few more threads may be the runtime's own.
        QVERIFY2(threadCount() - threadsBefore <= 4, qPrintable(QString::number(threadCount() - threadsBefore)));
        desk.doubleClickFolder(desk.on(u"ok"_s));
        desk.checkShows(desk.on(u"ok"_s));
        QCOMPARE(desk.previews(), QStringList {u"n1.txt: sibling"_s});
        desk.typePath(desk.path(u"local"_s));
        desk.checkShows(desk.path(u"local"_s));
        QCOMPARE(desk.numberedBoxesWrong(), 0);
        desk.typePath(u"/usr"_s);
        desk.checkShows(u"/usr"_s);
        QVERIFY(desk.form().DirList.EntryCount() > 2);
    }

    // Regression: the given-up readers were counted for the whole program and a pool without
    // readers failed every note, so a few visits to a folder whose notes never open took every
    // preview away, a local folder's too.
    void notesThatNeverOpenVisitedFiveTimesLeaveTheOtherFoldersTheirPreviews()
    {
        Share desk;
        desk.writeNumbered(40, u"share/dead"_s);
        desk.writeNumbered(40, u"share/ok"_s);
        desk.writeNumbered(40, u"local"_s);
        desk.mount({1, {}, {}, {u"dead"_s}});
        REQUIRE_SLOW_DRIVE(*desk.drive);
        desk.open();
        for (int visit = 0; visit < 5 && !QTest::currentTestFailed(); ++visit) {
            desk.doubleClickFolder(desk.on(u"dead"_s));
            desk.checkShows(desk.on(u"dead"_s));
            QCOMPARE(desk.previews().first(), u"note01.txt: 无法加载 "_s + desk.on(u"dead/note01.txt"_s));
            QTest::keyClick(desk.folders(), Qt::Key_Backspace);
            desk.checkShows(desk.drive->path());
        }
        desk.doubleClickFolder(desk.on(u"ok"_s));
        desk.checkShows(desk.on(u"ok"_s));
        QCOMPARE(desk.numberedBoxesWrong(), 0);
        desk.typePath(desk.path(u"local"_s));
        desk.checkShows(desk.path(u"local"_s));
        QCOMPARE(desk.numberedBoxesWrong(), 0);
    }

    // Regression: when the readers in flight were all given up at once, every note not yet read
    // got the failure text, though the share answered again a moment later. The drive pauses
    // for five seconds after its 150th open; the rebuild comes back while it is still silent,
    // and the notes are read once it answers.
    void aPauseInTheMiddleOfARebuildFailsAtMostTheNotesInFlight()
    {
        Share desk;
        desk.writeNumbered(400, u"share/notes"_s);
        desk.mount({1, {}, {}, {}, 150});
        REQUIRE_SLOW_DRIVE(*desk.drive);
        desk.open();
        desk.doubleClickFolder(desk.on(u"notes"_s));
        QVERIFY(desk.drive->stalled()); // the window is back before the drive
        desk.checkShows(desk.on(u"notes"_s));
        QVERIFY(desk.boxesFollowTheList());
        QTest::qWait(3000);
        desk.drive->resume();
        // The readers in flight when the drive stopped: at most the largest pool.
        QTRY_VERIFY_WITH_TIMEOUT(desk.numberedBoxesWrong() <= 32, 30000);
        QVERIFY(desk.boxesFollowTheList());
    }

    // Regression: a keystroke in the path box resolved the current folder's canonical path on
    // the window's thread; in a folder whose drive stopped answering it never returned.
    void aKeystrokeInTheDeadFolderReturns()
    {
        Share desk;
        desk.writeNumbered(3, u"share/notes"_s);
        desk.mount();
        REQUIRE_SLOW_DRIVE(*desk.drive);
        desk.open(u"notes"_s);
        desk.drive->stall();
        std::promise<void> done;
        std::future<bool> rescued = rescue(*desk.drive, done.get_future().share());
        desk.pathBox()->setFocus();
        QTest::keyClick(desk.pathBox(), Qt::Key_End);
        QTest::keyClick(desk.pathBox(), Qt::Key_X);
        done.set_value();
        QVERIFY2(!rescued.get(), "the keystroke waited for the drive");
        QCOMPARE(desk.form().txtPath.Text(), desk.on(u"notesx"_s));
        QCOMPARE(desk.form().DirList.Path(), desk.on(u"notes"_s));
        desk.drive->resume();
    }

    // Regression: links were followed inside the listing, so one link into a dead share (a
    // "nas" link in the home folder) gave up the whole listing. It is judged apart: it is not
    // listed while it does not answer, the rest of the folder is, and it is once it answers.
    void aLinkIntoADeadShareLeavesTheRestOfTheListing()
    {
        Share desk;
        desk.write(u"share/n.txt"_s);
        desk.write(u"share/x/x.txt"_s);
        desk.write(u"home/a.txt"_s);
        desk.folder(u"home/sub"_s);
        desk.mount();
        REQUIRE_SLOW_DRIVE(*desk.drive);
        OddFiles::link(QFile::encodeName(desk.drive->path()), desk.bytesOf("home/nas"));
        OddFiles::link(QFile::encodeName(desk.on(u"n.txt"_s)), desk.bytesOf("home/far.txt"));
        desk.drive->stall();
        const QString home = desk.path(u"home"_s);
        desk.start(home, {desk.top(), desk.drive->path()});
        desk.checkShows(home);
        const auto subfolders = [&] {
            QStringList names;
            for (int row = 0; row < desk.form().DirList.EntryCount(); ++row)
                if (desk.form().DirList.EntryPath(row).startsWith(home + u'/'))
                    names << desk.form().DirList.EntryPath(row).mid(home.size() + 1);
            return names;
        };
        QCOMPARE(subfolders(), QStringList {u"sub"_s});
        QCOMPARE(desk.form().FileList.Names(), QStringList {u"a.txt"_s});
        desk.drive->resume();
        // Typed again and again, the folder is listed anew until the links answer.
        bool slash = false;
        QTRY_VERIFY_WITH_TIMEOUT(
            (desk.typePath(home + ((slash = !slash) ? u"/"_s : QString())), desk.form().FileList.Names().size() == 2),
            10000);
        QCOMPARE(subfolders(), (QStringList {u"nas"_s, u"sub"_s}));
        QCOMPARE(desk.previews(), (QStringList {u"a.txt: text"_s, u"far.txt: text"_s}));
    }

    // Regression: an answer about a drive's status that came after 300 ms was thrown away, so
    // a drive that was slow but alive could never be chosen.
    void aDriveThatAnswersIn400MillisecondsCanBeChosen()
    {
        Share desk;
        desk.write(u"share/s.txt"_s, "slow but alive\n");
        desk.write(u"a-disk/a.txt"_s);
        desk.mount({400, {}, {}});
        REQUIRE_SLOW_DRIVE(*desk.drive);
        desk.start(desk.path(u"a-disk"_s), {desk.drive->path(), desk.path(u"a-disk"_s)});
        auto* drives = qobject_cast<QComboBox*>(desk.form().DriveList.widget());
        // The root, the slow drive, the disk it starts on.
        QVERIFY(drives->itemText(1).startsWith(desk.drive->path()));
        QCOMPARE(drives->currentIndex(), 2);
        drives->setFocus();
        QTest::keyClick(drives, Qt::Key_Up);
        desk.checkShows(desk.drive->path());
        QCOMPARE(desk.previews(), QStringList {u"s.txt: slow but alive"_s});
    }

    // Regression: the drive list asked every mount for its status, so while one share was dead
    // the list froze as it was: a share or a stick mounted meanwhile never appeared.
    void aMountAddedWhileAShareIsDeadIsOffered()
    {
        Desk desk;
        desk.folder(u"dead"_s);
        desk.write(u"added/a.txt"_s);
        SlowDrive dead(desk.path(u"dead"_s), {1, {}, {}, {}, 0, u"sshfs"_s});
        REQUIRE_SLOW_DRIVE(dead);
        dead.stall();
        app::frmMain form;
        form.Show();
        SlowDrive added(desk.path(u"added"_s), {1, {}, {}, {}, 0, u"sshfs"_s});
        REQUIRE_SLOW_DRIVE(added);
        auto* drives = qobject_cast<QComboBox*>(form.DriveList.widget());
        drives->showPopup();
        QStringList offered;
        for (int row = 0; row < drives->count(); ++row)
            offered << drives->itemText(row);
        drives->hidePopup();
        QVERIFY2(offered.contains(added.path() + u" [网络驱动器]"_s), qPrintable(offered.join(u", ")));
        dead.resume();
    }

    // Whatever waits for threads on the way out (a destructor, a thread pool, the application's
    // teardown) would hold the exit for as long as a dead drive keeps a reader or a listing
    // stuck; those are abandoned. The program runs in a child on a drive where one note and one
    // folder never answer.
    void closingTheWindowEndsTheProgramWhileReadsAreStuck()
    {
        Desk desk;
        for (const QString& name : {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"stuck/s.txt"_s})
            desk.write(u"share/"_s + name);
        SlowDrive drive(desk.path(u"share"_s), {1, {u"b.txt"_s, u"stuck"_s}, {}});
        REQUIRE_SLOW_DRIVE(drive);
        QProcess program;
        program.setWorkingDirectory(drive.path());
        program.start(QCoreApplication::applicationFilePath(), {u"--close-the-window"_s});
        // Far beyond the two deadlines; a join waits for as long as the drive stays mounted.
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(
            QString::fromUtf8(program.readAllStandardOutput()), u"text|无法加载 %1/b.txt|text|"_s.arg(drive.path()));
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--close-the-window") == 0)
        return closeTheWindow(argc, argv);
    QApplication application(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi); // as QTEST_MAIN does
    DeadShareTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_deadshare.moc"
