#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// Starts a program the way the old runtime's Shell did, without ever handing anything to a
// shell: no quoting, expansion or command separator in a file name can run a command.
//
// The first word (up to the first space) is the program and everything after that first
// space is one single argument, taken whole and unquoted: "Notepad.exe /home/ana/my
// notes.txt" starts Notepad.exe with the one argument "/home/ana/my notes.txt", as the old
// editor read its command line. Nothing after the space means no argument at all.
//
// The program name "Notepad.exe" stands for the desktop's plain-text editor: a program of
// exactly that name on PATH if there is one, else the desktop's opener, xdg-open. The opener
// reads an argument that starts with '-' as an option, so such an argument (a relative path,
// since the program's own are absolute) is handed to it as "./-name", which names the same
// file and cannot be an option. A program of the given name gets its argument exactly as
// written.
//
// The argument reaches the program as the bytes NativePath::Encode gives, so a name listed
// from a folder (also one that is not UTF-8) opens that very file. QProcess cannot do this:
// it turns every argument into bytes with QFile::encodeName, which is UTF-8 on Linux and
// replaces anything UTF-8 cannot hold. So the launch is a plain fork and exec of the resolved
// program, forked twice so the editor belongs to no one and leaves no zombie; a pipe that
// closes on exec tells whether the exec succeeded.
//
// Looking for the program and waiting for it to start can hang on a drive that stopped
// answering (a folder of PATH on a dead share, the editor itself on one), so both run through
// the hang guard (GuardedCall), and the window waits for them no longer than the deadline.
//
// The program not being found, or failing to start, is error 53; so is a search or a start that
// does not answer in time.
class ProcessLauncher {
public:
    // The program name that stands for the desktop's plain-text editor.
    static inline const QString EditorName = QStringLiteral("Notepad.exe");

    static void Shell(const QString& commandLine);

    // What Shell starts for a command line: the program file found and its argument list
    // (argv[0] first) as bytes. Error 53 when there is no such program.
    struct Launch {
        QByteArray program;
        QList<QByteArray> arguments;
    };
    static Launch Resolve(const QString& commandLine);

private:
    static void startDetached(const Launch& launch);
};

} // namespace platform
