#include "platform/launch/ProcessLauncher.h"

#include "platform/hang/GuardedCall.h"
#include "platform/names/NativePath.h"
#include "platform/runtime/Error.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform {

namespace {

// The exit statuses of the forked child; nothing reads them, since the report pipe tells
// whether the program started, but they say which step failed to whoever traces the child.
constexpr int ForkFailed = 1;
constexpr int ExecFailed = 127;

struct CommandLine {
    QString program;
    QString argument;
};

// The program is everything up to the first space, the argument everything after it.
CommandLine split(const QString& commandLine)
{
    const qsizetype space = commandLine.indexOf(u' ');
    QString program = space < 0 ? commandLine : commandLine.left(space);
    QString argument = space < 0 ? QString() : commandLine.sliced(space + 1);
    return {std::move(program), std::move(argument)};
}

struct Program {
    QString path;
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
    if (QString editor = QStandardPaths::findExecutable(ProcessLauncher::EditorName); !editor.isEmpty())
        return {editor, false};
    return {QStandardPaths::findExecutable(QStringLiteral("xdg-open")), true};
}

} // namespace

ProcessLauncher::Launch ProcessLauncher::Resolve(const QString& commandLine)
{
    auto [name, argument] = split(commandLine);
    if (name.isEmpty())
        throw Error(ErrorCode::FileNotFound);

    Program program = name == EditorName ? editorProgram() : Program {findProgram(name), false};
    if (program.path.isEmpty())
        throw Error(ErrorCode::FileNotFound);

    Launch launch;
    launch.program = NativePath::Encode(program.path);
    // argv[0] names the file that runs, which for the opener is not the name asked for.
    launch.arguments.append(NativePath::Encode(QFileInfo(program.path).fileName()));
    if (!argument.isEmpty()) {
        if (program.isOpener && argument.startsWith(u'-'))
            argument.prepend(QStringLiteral("./"));
        launch.arguments.append(NativePath::Encode(argument));
    }
    return launch;
}

// The search waits on the folders of PATH, which may lie on any drive, so it is charged to PATH
// itself, never to a note's drive; a program named by its path waits on that path's drive, and
// so does the start of the program found.
void ProcessLauncher::Shell(const QString& commandLine)
{
    const QString name = split(commandLine).program;
    const Charge search = name.contains(u'/') ? Charge::To(QFileInfo(name).absoluteFilePath())
                                              : Charge {QStringLiteral("$PATH"), QStringLiteral("$PATH/") + name};
    try {
        const Launch launch = GuardedCall(search).Run<Launch>([commandLine] { return Resolve(commandLine); });
        GuardedCall(Charge::To(NativePath::Decode(launch.program))).Run<bool>([launch] {
            startDetached(launch);
            return true;
        });
    } catch (const Error& error) {
        // A search or a start that does not answer, or no thread to run it on, is a program that
        // could not be started.
        if (error.code() == ErrorCode::DeviceUnavailable)
            throw Error(ErrorCode::FileNotFound);
        throw;
    }
}

namespace {

// Both ends close on exec, set atomically, so that no program another thread starts
// meanwhile keeps the write end open and the wait below never ends.
bool openReportPipe(int ends[2])
{
    return ::pipe2(ends, O_CLOEXEC) == 0;
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
        ::_exit(ForkFailed);
    }
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::signal(SIGCHLD, SIG_DFL);
    ::execve(path, argv, environ);
    reportError(report);
    ::_exit(ExecFailed);
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

} // namespace platform
