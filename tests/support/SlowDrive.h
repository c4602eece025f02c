#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <unistd.h>

// A slow drive: the folder `source` mirrored through slowfs (bench/slowfs.cpp), a FUSE file
// system that answers every request after a delay, at a fresh mount point of its own. A note
// named in `hang` is listed, but its open and read never answer while the drive is mounted,
// as on a file server that stopped answering.
//
// The drive needs /dev/fuse and the slowfs binary. A test target gets the binary's path from
// CMake, where libfuse3 was found:
//   if(TARGET slowfs)
//     target_compile_definitions(test_x PRIVATE VELLUMRY_SLOWFS="$<TARGET_FILE:slowfs>")
//     add_dependencies(test_x slowfs)
//   endif()
// and skips where there is no drive to be had:
//   SlowDrive drive(notes.path(), {1, {"stuck.txt"}});
//   if (!drive.isMounted())
//       QSKIP(qPrintable(drive.unavailable()));
//   ... drive.path() is the mirror of notes.path() ...
//
// When the drive goes, slowfs is stopped first: it fails every request still hanging with EIO,
// so a thread stuck in an open on the drive returns, and it detaches the mount lazily, which no
// request in flight can block. Should slowfs not end within a few seconds, the mount is
// detached with `fusermount3 -uz` and slowfs killed. The mount point is removed only when it is
// empty, that is, no longer a mirror of the notes.
struct SlowDriveOptions {
    int delayMs {1};
    QStringList hang; // file names whose open and read never answer
    QStringList arguments; // more options for slowfs, such as "--counts"
};

class SlowDrive {
public:
    using Options = SlowDriveOptions;

    static QString builtBinary()
    {
#ifdef VELLUMRY_SLOWFS
        return QStringLiteral(VELLUMRY_SLOWFS);
#else
        return {};
#endif
    }

    explicit SlowDrive(const QString& source, const Options& options = {}, const QString& binary = builtBinary())
    {
        if (binary.isEmpty() || !QFile::exists(binary)) {
            m_unavailable = QStringLiteral("slowfs was not built (libfuse3 missing?)");
            return;
        }
        if (::access("/dev/fuse", R_OK | W_OK) != 0) {
            m_unavailable = QStringLiteral("no usable /dev/fuse here");
            return;
        }
        QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/vellumry-slowdrive-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            m_unavailable = QStringLiteral("cannot make a mount point");
            return;
        }
        m_path = QString::fromLocal8Bit(pattern);
        QStringList arguments {QStringLiteral("--delay-ms"), QString::number(options.delayMs)};
        for (const QString& name : options.hang)
            arguments << QStringLiteral("--hang") << name;
        arguments << options.arguments << source << m_path;
        m_process.setProgram(binary);
        m_process.setArguments(arguments);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Should the test die without unwinding, slowfs goes with it and takes its mount along.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start();
        if (!m_process.waitForStarted(5000)) {
            m_unavailable = QStringLiteral("slowfs did not start: ") + m_process.errorString();
            return;
        }
        QElapsedTimer waited;
        waited.start();
        while (!mounted()) {
            if (m_process.state() == QProcess::NotRunning || m_process.waitForFinished(10)) {
                m_unavailable = QStringLiteral("slowfs could not mount (exit code %1)").arg(m_process.exitCode());
                return;
            }
            if (waited.elapsed() > 5000) {
                m_unavailable = QStringLiteral("slowfs did not mount within 5 s");
                return;
            }
        }
    }

    ~SlowDrive()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                detach();
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
        if (mounted())
            detach();
        if (!m_path.isEmpty())
            QDir().rmdir(m_path);
    }

    SlowDrive(const SlowDrive&) = delete;
    SlowDrive& operator=(const SlowDrive&) = delete;

    bool isMounted() const
    {
        return m_unavailable.isEmpty();
    }
    QString unavailable() const
    {
        return m_unavailable;
    }
    QString path() const
    {
        return m_path;
    } // the mount point: the mirror of the source folder

private:
    // Whether the mount point is listed in this process's mount table (the fifth field of a
    // line of /proc/self/mountinfo, where a space would be written \040; ours has none).
    bool mounted() const
    {
        if (m_path.isEmpty())
            return false;
        QFile table(QStringLiteral("/proc/self/mountinfo"));
        if (!table.open(QIODevice::ReadOnly))
            return false;
        const QByteArray point = m_path.toLocal8Bit();
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() > 4 && fields[4] == point)
                return true;
        }
        return false;
    }

    void detach() const
    {
        QProcess::execute(QStringLiteral("fusermount3"), {QStringLiteral("-uz"), m_path});
    }

    QProcess m_process;
    QString m_path;
    QString m_unavailable;
};
