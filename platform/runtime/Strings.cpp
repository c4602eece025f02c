#include "platform/runtime/Strings.h"

namespace platform {

QString Strings::FolderPrefix(const QString& path)
{
    // QString::replace scans left to right and resumes after each replacement.
    QString prefix = path + u'/';
    return prefix.replace(QStringLiteral("//"), QStringLiteral("/"));
}

} // namespace platform
