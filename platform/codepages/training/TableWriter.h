#pragma once

#include "platform/codepages/training/LanguageTrainer.h"

#include <QString>
#include <QTextStream>

namespace platform::codepages {

// Writes learnt models as the C++ source of their LanguageTable, costs rounded to quarter bits.
class TableWriter {
public:
    explicit TableWriter(QTextStream& out);

    void Add(const QString& tag, const LanguageTrainer::Model& model);
    void Finish();

private:
    QString Identifier(const QString& tag) const;

    QTextStream& m_out;
    QStringList m_entries;
};

} // namespace platform::codepages
