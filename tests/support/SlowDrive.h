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
// as on a file server that stopped answering; so does the listing of a folder so named, and
// every note in a folder named in `hangIn`. stall() makes the whole drive stop answering until
// resume(), as a server that reboots does; with `stallAfterOpens` the drive stalls by itself
// once it has served that many opens. A target that uses it gets slowfs's path as
// VELLUMRY_SLOWFS from CMake; without slowfs or /dev/fuse, isMounted() is false and
// unavailable() says why, and REQUIRE_SLOW_DRIVE fails the test, or skips it where the machine
// has no /dev/fuse at all.
//
// When the drive goes, slowfs is stopped first: it fails every request still hanging with EIO
// and detaches the mount lazily. Should it not end within a few seconds, the mount is detached
// with `fusermount3 -uz` and slowfs killed.
#ifdef VELLUMRY_SLOWFS
inline const QString SlowfsBinary = QStringLiteral(VELLUMRY_SLOWFS);
#else
inline const QString SlowfsBinary;
#endif

struct SlowDriveOptions {
    int delayMs {1};
    QStringList hang; // file names whose open and read never answer, folders whose listing never does
    QStringList arguments; // more options for slowfs, such as "--counts"
    QStringList hangIn {}; // folders whose notes never open
    int stallAfterOpens {0}; // the drive stalls by itself after serving this many opens
    QString type {}; // the file system type shown in the mount table (fuse.<type>)
};

// Fails the test when a slow drive could not be mounted on a machine that has FUSE; skips it,
// saying why, on one that has not.
#define REQUIRE_SLOW_DRIVE(drive)                                                                                      \
    do {                                                                                                               \
        if (!(drive).isMounted()) {                                                                                    \
            if (QFile::exists(QStringLiteral("/dev/fuse")))                                                            \
                QFAIL(qPrintable((drive).unavailable()));                                                              \
            QSKIP(qPrintable((drive).unavailable()));                                                                  \
        }                                                                                                              \
    } while (false)

class SlowDrive {
public:
    using Options = SlowDriveOptions;

    explicit SlowDrive(const QString& source, const Options& options = {}, const QString& binary = SlowfsBinary)
    {
        QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/vellumry-slowdrive-XXXXXX";
        if (binary.isEmpty() || !QFile::exists(binary))
            m_unavailable = QStringLiteral("slowfs was not built (libfuse3 missing?)");
        else if (::access("/dev/fuse", R_OK | W_OK) != 0)
            m_unavailable = QStringLiteral("no usable /dev/fuse here");
        else if (!::mkdtemp(pattern.data()))
            m_unavailable = QStringLiteral("cannot make a mount point");
        if (!m_unavailable.isEmpty())
            return;
        m_path = QString::fromLocal8Bit(pattern);
        m_stallFile = m_path + QStringLiteral(".stall");
        QStringList arguments {QStringLiteral("--delay-ms"), QString::number(options.delayMs),
            QStringLiteral("--stall-file"), m_stallFile};
        for (const QString& name : options.hang)
            arguments << QStringLiteral("--hang") << name;
        for (const QString& name : options.hangIn)
            arguments << QStringLiteral("--hang-in") << name;
        if (options.stallAfterOpens > 0)
            arguments << QStringLiteral("--stall-after-opens") << QString::number(options.stallAfterOpens);
        if (!options.type.isEmpty())
            arguments << QStringLiteral("--type") << options.type;
        arguments << options.arguments << source << m_path;
        m_process.setProgram(binary);
        m_process.setArguments(arguments);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Should the test die without unwinding, slowfs goes with it and takes its mount along.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start();
        QElapsedTimer waited;
        waited.start();
        while (m_process.waitForStarted(5000) && !mounted() && waited.elapsed() < 5000)
            if (m_process.state() == QProcess::NotRunning || m_process.waitForFinished(10))
                break;
        if (!mounted())
            m_unavailable = QStringLiteral("slowfs did not mount (%1)").arg(m_process.errorString());
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
        if (!m_stallFile.isEmpty())
            QFile::remove(m_stallFile);
    }

    SlowDrive(const SlowDrive&) = delete;
    SlowDrive& operator=(const SlowDrive&) = delete;

    bool isMounted() const { return m_unavailable.isEmpty(); }
    QString unavailable() const { return m_unavailable; }
    // The mount point: the mirror of the source folder.
    QString path() const { return m_path; }

    // Every request waits from now until resume(); requests already waiting go on then.
    void stall() const { QFile(m_stallFile).open(QIODevice::WriteOnly); }
    void resume() const { QFile::remove(m_stallFile); }
    bool stalled() const { return QFile::exists(m_stallFile); }

private:
    // Whether the mount point is listed in this process's mount table, as a field of
    // /proc/self/mountinfo (where a space would be written \040; ours has none).
    bool mounted() const
    {
        QFile table(QStringLiteral("/proc/self/mountinfo"));
        return !m_path.isEmpty() && table.open(QIODevice::ReadOnly)
            && table.readAll().contains(QByteArray(' ' + m_path.toLocal8Bit() + ' '));
    }

    void detach() const { QProcess::execute(QStringLiteral("fusermount3"), {QStringLiteral("-uz"), m_path}); }

    QProcess m_process;
    QString m_path;
    QString m_stallFile;
    QString m_unavailable;
};
