#include "platform/runtime/ProcessLauncher.h"

#include "platform/names/NativePath.h"
#include "platform/runtime/Error.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <vector>

#ifdef Q_OS_WIN
#include <QProcess>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace platform {

namespace {

const QString EditorName = QStringLiteral("Notepad.exe");

struct Program {
    QString path;
    QList<QByteArray> leadingArguments;
    bool isOpener {false};
};

QString findProgram(const QString& name)
{
    if (name.contains(u'/')) {
        QFileInfo file(name);
        return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(name);
}

Program editorProgram()
{
    if (QString editor = QStandardPaths::findExecutable(EditorName); !editor.isEmpty())
        return {editor, {}, false};
#ifdef Q_OS_MACOS
    return {QStandardPaths::findExecutable(QStringLiteral("open")), {QByteArray("-t")}, true};
#else
    return {QStandardPaths::findExecutable(QStringLiteral("xdg-open")), {}, true};
#endif
}

} // namespace

ProcessLauncher::Launch ProcessLauncher::Resolve(const QString& commandLine)
{
    qsizetype space = commandLine.indexOf(u' ');
    QString name = space < 0 ? commandLine : commandLine.left(space);
    QString argument = space < 0 ? QString() : commandLine.sliced(space + 1);
    if (name.isEmpty())
        throw Error(ErrorCode::FileNotFound);

    Program program = name == EditorName ? editorProgram() : Program {findProgram(name), {}, false};
    if (program.path.isEmpty())
        throw Error(ErrorCode::FileNotFound);

    Launch launch;
    launch.program = NativePath::Encode(program.path);
    // argv[0] names the file that runs, which for the opener is not the name asked for.
    launch.arguments.append(NativePath::Encode(QFileInfo(program.path).fileName()));
    launch.arguments.append(program.leadingArguments);
    if (!argument.isEmpty()) {
        if (program.isOpener && argument.startsWith(u'-'))
            argument.prepend(QStringLiteral("./"));
        launch.arguments.append(NativePath::Encode(argument));
    }
    return launch;
}

void ProcessLauncher::Shell(const QString& commandLine)
{
#ifdef Q_OS_WIN
    qsizetype space = commandLine.indexOf(u' ');
    QProcess process;
    process.setProgram(space < 0 ? commandLine : commandLine.left(space));
    process.setNativeArguments(space < 0 ? QString() : commandLine.sliced(space + 1));
    if (!process.startDetached())
        throw Error(ErrorCode::FileNotFound);
#else
    startDetached(Resolve(commandLine));
#endif
}

#ifdef Q_OS_WIN

void ProcessLauncher::startDetached(const Launch&)
{
}

#else

namespace {

// Both ends close on exec, set atomically where the system can, so that no program another
// thread starts meanwhile keeps the write end open and the wait below never ends.
bool openReportPipe(int ends[2])
{
#ifdef Q_OS_LINUX
    return ::pipe2(ends, O_CLOEXEC) == 0;
#else
    if (::pipe(ends) != 0)
        return false;
    ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    return true;
#endif
}

void reportError(int report)
{
    int error = errno;
    ssize_t written = ::write(report, &error, sizeof error);
    static_cast<void>(written);
}

// Runs in the forked child, where only async-signal-safe calls are allowed: everything it
// needs was prepared before the fork. The child starts a session of its own and forks the
// program off, then ends at once, so the program is adopted by the system and never waits
// to be reaped by us.
[[noreturn]] void becomeProgram(const char* path, char* const* argv, int report)
{
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild > 0)
        ::_exit(0);
    if (grandchild < 0) {
        reportError(report);
        ::_exit(1);
    }
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::signal(SIGCHLD, SIG_DFL);
    ::execve(path, argv, environ);
    reportError(report);
    ::_exit(127);
}

} // namespace

void ProcessLauncher::startDetached(const Launch& launch)
{
    QList<QByteArray> arguments = launch.arguments;
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int report[2];
    if (!openReportPipe(report))
        throw Error(ErrorCode::FileNotFound);

    pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        becomeProgram(launch.program.constData(), argv.data(), report[1]);
    }
    ::close(report[1]);
    if (child > 0) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    }
    // The pipe closes without a word when the exec succeeded; otherwise it carries errno.
    int failure = 0;
    ssize_t got = 0;
    do {
        got = ::read(report[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (child < 0 || got == static_cast<ssize_t>(sizeof failure))
        throw Error(ErrorCode::FileNotFound);
}

#endif

} // namespace platform
