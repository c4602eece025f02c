// What a share that stops answering costs the real window, offscreen, on the slow drive
// (bench/slowfs, 1 ms a request) holding a folder whose listing never answers ("dead"), a folder
// of 40 notes that never open ("deadnotes") and a healthy folder of 400 notes ("ok"), beside a
// local folder of 400 notes:
//   QT_QPA_PLATFORM=offscreen bench_deadshare [--root DIR] [--visits 60]
// The user opens the dead folder 20 times and the dead notes 5 times (Enter in the directory
// list, Backspace back), then the healthy folder, the local folder and /usr by typing their
// paths, presses a key in the path box while the whole drive is stalled, chooses a drive with
// the arrow keys, goes on visiting the dead folders up to the number of visits given, and
// closes the window. Each action is timed until its handler returns, which is when the window
// answers again. Prints every figure beside its target; exits with 1 when one is missed.
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "platform/desktop/Application.h"
#include "platform/hang/MountTable.h"
#include "platform/hang/StuckLedger.h"
#include "tests/support/SlowDrive.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QListView>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
    std::string root {"/tmp/vellumry-bench"};
    int visits {60};
};

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--root") == 0)
            options.root = argv[i + 1];
        else if (std::strcmp(argv[i], "--visits") == 0)
            options.visits = std::max(25, std::atoi(argv[i + 1]));
    }
    return options;
}

int threadCount()
{
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

void press(QWidget* widget, int key)
{
    widget->setFocus();
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_X ? QStringLiteral("x") : QString());
    QApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &up);
}

class Session {
public:
    explicit Session(app::frmMain& form)
        : m_form(form)
    {
    }

    // Runs an action as a user makes it and times it until the window answers again.
    template<typename Action> double act(const char* what, Action action)
    {
        QElapsedTimer timer;
        timer.start();
        action();
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        QApplication::processEvents();
        if (ms > m_slowest) {
            m_slowest = ms;
            m_slowestAction = what;
        }
        return ms;
    }

    // Enter on the directory list's row that shows the folder.
    void open(const QString& folder)
    {
        auto* view = qobject_cast<QListView*>(m_form.DirList.widget());
        for (int row = 0; row < m_form.DirList.EntryCount(); ++row) {
            if (m_form.DirList.EntryPath(row) == folder)
                view->setCurrentIndex(view->model()->index(row, 0));
        }
        press(view, Qt::Key_Return);
    }
    void up() { press(m_form.DirList.widget(), Qt::Key_Backspace); }
    void type(const QString& path) { m_form.txtPath.SetText(path); }

    // The boxes that do not show their note's first line.
    int wrongPreviews() const
    {
        int wrong = 0;
        for (int i = 1; i <= m_form.txtPreview.UBound(); ++i)
            wrong += m_form.txtPreview(i).Text().startsWith(QStringLiteral("无法加载")) ? 1 : 0;
        return wrong;
    }

    double slowest() const { return m_slowest; }
    const char* slowestAction() const { return m_slowestAction; }

private:
    app::frmMain& m_form;
    double m_slowest {0};
    const char* m_slowestAction {""};
};

int failed = 0;

void report(const char* figure, double value, const char* unit, double target, const char* note = "")
{
    const bool met = value <= target;
    failed += met ? 0 : 1;
    std::printf("%-58s %9.1f %-4s <= %-8.0f %s %s\n", figure, value, unit, target, met ? "ok" : "MISSED", note);
}

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    const Options options = parseOptions(argc, argv);
    const std::string share = options.root + "/deadshare";
    bench::makeNoteFolder(share + "/dead", 3);
    bench::makeNoteFolder(share + "/deadnotes", 40);
    bench::makeNoteFolder(share + "/ok", 400);
    bench::makeNoteFolder(options.root + "/deadshare-local", 400);
    SlowDrive drive(QString::fromStdString(share),
        {1, {QStringLiteral("dead")}, {}, {QStringLiteral("deadnotes")}, 0, QStringLiteral("sshfs")});
    if (!drive.isMounted()) {
        std::printf("dead share: skipped (%s)\n", qPrintable(drive.unavailable()));
        return 0;
    }
    const QString root = drive.path();
    const QString local = QString::fromStdString(options.root + "/deadshare-local");
    QDir::setCurrent(root);
    app::frmMain form;
    form.Show();
    QApplication::processEvents();
    Session user(form);
    const int threadsAtStart = threadCount();
    const long residentAtStart = bench::residentKiB();
    std::printf("slow drive at %s, 1 ms a request; each action timed until the window answers\n", qPrintable(root));

    for (int visit = 0; visit < 20; ++visit)
        user.act("Enter on the dead folder", [&] { user.open(root + QStringLiteral("/dead")); });
    for (int visit = 0; visit < 5; ++visit) {
        user.act("Enter on the folder of dead notes", [&] { user.open(root + QStringLiteral("/deadnotes")); });
        user.act("Backspace", [&] { user.up(); });
    }
    const double sibling = user.act("Enter on the healthy folder", [&] { user.open(root + QStringLiteral("/ok")); });
    const int siblingWrong = user.wrongPreviews() + (form.FileList.ListCount() == 400 ? 0 : 1000);
    const double localFolder = user.act("typing a local folder's path", [&] { user.type(local); });
    const int localWrong = user.wrongPreviews() + (form.FileList.ListCount() == 400 ? 0 : 1000);
    const double usr = user.act("typing /usr", [&] { user.type(QStringLiteral("/usr")); });
    const bool usrListed = form.DirList.Path() == QStringLiteral("/usr") && form.DirList.EntryCount() > 2;
    const int threadsAfter25 = threadCount() - threadsAtStart;
    const int outOnDriveAfter25 = platform::StuckLedger::OutOn(platform::MountTable::MountPointOf(root));

    user.act("typing the healthy folder's path", [&] { user.type(root + QStringLiteral("/ok")); });
    drive.stall();
    const double keystroke
        = user.act("a key in the path box, the whole drive stalled", [&] { press(form.txtPath.widget(), Qt::Key_X); });
    drive.resume();
    user.act("Down in the drive list", [&] { press(form.DriveList.widget(), Qt::Key_Down); });
    user.act("typing the share's path", [&] { user.type(root); });

    for (int visit = 25; visit < options.visits; visit += 2) {
        user.act("Enter on the dead folder", [&] { user.open(root + QStringLiteral("/dead")); });
        user.act("Enter on the folder of dead notes", [&] { user.open(root + QStringLiteral("/deadnotes")); });
        user.act("Backspace", [&] { user.up(); });
    }
    const double heldKiB = static_cast<double>(bench::residentKiB() - residentAtStart);
    const int threadsAfterAll = threadCount() - threadsAtStart;
    const int outOnDrive = platform::StuckLedger::OutOn(platform::MountTable::MountPointOf(root));
    user.act("closing the window", [&] { form.Me.widget()->close(); });

    std::printf("\n%-58s %9s %-4s    %-8s\n", "figure", "value", "", "target");
    report("slowest action", user.slowest(), "ms", 3000, user.slowestAction());
    report("healthy folder on the same drive, listed with previews", sibling, "ms", 1000,
        siblingWrong == 0 ? "(400 previews right)" : "(PREVIEWS WRONG)");
    failed += siblingWrong == 0 ? 0 : 1;
    report("local folder, listed with previews", localFolder, "ms", 1000,
        localWrong == 0 ? "(400 previews right)" : "(PREVIEWS WRONG)");
    failed += localWrong == 0 ? 0 : 1;
    report("/usr, listed", usr, "ms", 1000, usrListed ? "(listed)" : "(NOT LISTED)");
    failed += usrListed ? 0 : 1;
    report("a key in the path box, the drive stalled", keystroke, "ms", 3000);
    report("threads stranded after 20 + 5 visits", threadsAfter25, "", 32);
    report("calls out on the dead share after 20 + 5 visits", outOnDriveAfter25, "", 40);
    char visits[64];
    std::snprintf(visits, sizeof visits, "threads stranded after %d visits", options.visits);
    report(visits, threadsAfterAll, "", 40);
    std::snprintf(visits, sizeof visits, "calls out on the dead share after %d visits", options.visits);
    report(visits, outOnDrive, "", 40);
    std::snprintf(visits, sizeof visits, "resident memory grown over %d visits", options.visits);
    report(visits, heldKiB / 1024.0, "MiB", 20);
    return failed == 0 ? 0 : 1;
}
