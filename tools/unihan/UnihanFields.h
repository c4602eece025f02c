#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace platform {

// Fields of the Unihan database (the Unicode Consortium's data on Han characters, as Debian's
// unicode-data package ships it, unpacked by cmake/Unihan.cmake), for the generators that make
// tables of it at build time: for each field asked for, the value of every character that has
// it. The database's files are the unpacked Unihan_*.txt of one folder; each line is
// "U+4E00<tab>kField<tab>value".
class UnihanFields {
public:
    UnihanFields(const QString& folder, const QStringList& fields);

    // The value of field for code, or an empty string.
    QString Value(const QString& field, char32_t code) const;
    const QHash<char32_t, QString>& All(const QString& field) const;

    // Whether every field asked for was found in the files.
    bool Complete() const;

private:
    QHash<QString, QHash<char32_t, QString>> m_fields;
};

} // namespace platform
