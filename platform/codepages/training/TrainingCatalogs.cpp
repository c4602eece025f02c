#include "platform/codepages/training/TrainingCatalogs.h"

#include <QFileInfo>

namespace platform::codepages {

namespace {

const QStringList Names {QStringLiteral("libc.mo"), QStringLiteral("coreutils.mo")};

} // namespace

QStringList TrainingCatalogs::Of(const QString& catalogs, const QString& language)
{
    QStringList paths;
    for (const QString& name : Names) {
        const QString path = catalogs + u'/' + language + QStringLiteral("/LC_MESSAGES/") + name;
        if (QFileInfo::exists(path))
            paths.append(path);
    }
    return paths;
}

bool TrainingCatalogs::Holds(const QString& fileName)
{
    return Names.contains(fileName);
}

} // namespace platform::codepages
