#include "preview/PreviewLoader.h"

#include "platform/files/TextInput.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Numbers.h"

namespace preview {

namespace {

constexpr QStringView LineBreak = u"\r\n";

// Only U+0020 makes a line blank: a line holding a tab or another white space character is
// text the user put there and is shown.
bool IsBlank(QStringView line)
{
    for (const QChar character : line) {
        if (character != u' ')
            return false;
    }
    return true;
}

// The lines of one preview are gathered in a buffer that every call reuses, and the result is
// then made once, at its exact size: a folder keeps thousands of previews in memory, and
// growing each one line by line cost more than reading the file.
QString& GatheringBuffer()
{
    thread_local QString buffer;
    buffer.resize(0);
    return buffer;
}

// CR LF after an accepted line, written in place: appending a two-character string went
// through the general growth path of the string for every line of every file.
void AppendLineBreak(QString& text)
{
    const qsizetype at = text.size();
    text.resize(at + LineBreak.size());
    QChar* characters = text.data();
    characters[at] = LineBreak[0];
    characters[at + 1] = LineBreak[1];
}

QString ExactCopy(const QString& text)
{
    return QString(text.constData(), text.size());
}

} // namespace

QString PreviewLoader::Load(const QString& pathName, const std::int32_t& linesPerItem)
{
    QString& text = GatheringBuffer();
    std::int32_t accepted = 0;
    try {
        // The input closes the file when it goes out of scope, so a failure while reading
        // does not leave it open until some later cleanup.
        platform::TextInput input(pathName);
        // The count is tested before the end of the file, so a box with no room for a line
        // opens and closes the file without reading any of it.
        while (accepted < linesPerItem && !input.AtEnd()) {
            const qsizetype lineStart = text.size();
            input.AppendLine(text);
            if (IsBlank(QStringView(text).sliced(lineStart))) {
                text.resize(lineStart);
                continue;
            }
            AppendLineBreak(text);
            accepted = platform::Numbers::Add(accepted, 1);
        }
        input.Close();
        if (text.endsWith(LineBreak))
            text.chop(LineBreak.size());
    } catch (const platform::Error&) {
        if (text.isEmpty())
            return FailureText(pathName);
    }
    return ExactCopy(text);
}

QString PreviewLoader::FailureText(const QString& pathName)
{
    return QStringLiteral("无法加载 ") + pathName;
}

} // namespace preview
