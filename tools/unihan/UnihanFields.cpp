#include "tools/unihan/UnihanFields.h"

#include <QDir>
#include <QFile>

namespace platform {

UnihanFields::UnihanFields(const QString& folder, const QStringList& fields)
{
    for (const QString& field : fields)
        m_fields.insert(field, {});
    const QDir directory(folder);
    for (const QString& name : directory.entryList({QStringLiteral("Unihan_*.txt")}, QDir::Files)) {
        QFile file(directory.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (!line.startsWith("U+"))
                continue;
            const QList<QByteArray> parts = line.split('\t');
            if (parts.size() < 3)
                continue;
            const auto found = m_fields.find(QString::fromLatin1(parts[1]));
            if (found == m_fields.end())
                continue;
            bool number = false;
            const auto code = static_cast<char32_t>(parts[0].mid(2).toUInt(&number, 16));
            if (number)
                found->insert(code, QString::fromUtf8(parts[2]));
        }
    }
}

QString UnihanFields::Value(const QString& field, char32_t code) const
{
    return m_fields.value(field).value(code);
}

const QHash<char32_t, QString>& UnihanFields::All(const QString& field) const
{
    static const QHash<char32_t, QString> none;
    const auto found = m_fields.find(field);
    return found == m_fields.end() ? none : *found;
}

bool UnihanFields::Complete() const
{
    for (const auto& values : m_fields) {
        if (values.isEmpty())
            return false;
    }
    return true;
}

} // namespace platform
