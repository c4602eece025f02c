#include "preview/PreviewLoader.h"

#include "platform/Error.h"
#include "platform/Numbers.h"
#include "platform/TextInput.h"

namespace preview {

namespace {

constexpr QStringView LineBreak = u"\r\n";

// Only U+0020 makes a line blank: a line holding a tab or another white space character is
// text the user put there and is shown.
bool IsBlank(const QString& line)
{
    for (const QChar character : line) {
        if (character != u' ')
            return false;
    }
    return true;
}

} // namespace

QString PreviewLoader::Load(const QString& pathName, const std::int32_t& linesPerItem)
{
    QString text;
    std::int32_t accepted = 0;
    try {
        // The input closes the file when it goes out of scope, so a failure while reading
        // does not leave it open until some later cleanup.
        platform::TextInput input(pathName);
        // The count is tested before the end of the file, so a box with no room for a line
        // opens and closes the file without reading any of it.
        while (accepted < linesPerItem && !input.AtEnd()) {
            const QString line = input.ReadLine();
            if (IsBlank(line))
                continue;
            text += line;
            text += LineBreak;
            accepted = platform::Numbers::Add(accepted, 1);
        }
        input.Close();
        if (text.endsWith(LineBreak))
            text.chop(LineBreak.size());
    } catch (const platform::Error&) {
        if (text.isEmpty())
            text = QStringLiteral("无法加载 ") + pathName;
    }
    return text;
}

} // namespace preview
