#include "fuzz/FuzzSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void Fail(const char* rule, const QString& detail)
{
    std::fprintf(stderr, "fuzz_preview: %s\n", rule);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", qUtf8Printable(detail));
    std::abort();
}

QString Visible(const QString& text)
{
    QString shown;
    for (const QChar character : text) {
        if (character.unicode() >= 0x20 && character.unicode() < 0x7F)
            shown += character;
        else
            shown += QStringLiteral("\\u%1").arg(character.unicode(), 4, 16, QLatin1Char('0'));
    }
    return shown;
}
// A folder of this process, so that parallel fuzzing processes never share a file. It is made
// in $TMPDIR when that is set (scripts/fuzz points it at a folder it removes afterwards, even
// when a crash skips the cleanup here), else in memory where the system offers it, so that
// writing an input costs no disk. It is removed at a normal exit.
const QString& InputPath()
{
    static const QString path = [] {
        QString base = QDir::tempPath();
        if (!qEnvironmentVariableIsSet("TMPDIR") && QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            base = QStringLiteral("/dev/shm");
        static QTemporaryDir folder(base + QStringLiteral("/vellumry-fuzz-XXXXXX"));
        if (!folder.isValid())
            Fail("cannot create the input folder", base);
        return folder.filePath(QStringLiteral("note.txt"));
    }();
    return path;
}

void WriteInput(const QString& path, const char* bytes, std::size_t count)
{
    const QByteArray native = QFile::encodeName(path);
    const int descriptor = open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0)
        Fail("cannot open the input file for writing", path);
    while (count > 0) {
        const auto written = write(descriptor, bytes, count);
        if (written <= 0)
            Fail("cannot write the input file", path);
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    close(descriptor);
}
} // namespace fuzz
