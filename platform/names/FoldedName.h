#pragma once

#include <QString>
#include <QStringView>

namespace platform {

// A name's characters folded to lower case, read one at a time without a folded copy of the
// name. The file list folds every name of a folder to match it, and a copy a name was
// most of what listing a large folder cost.
//
// Folding code unit by code unit is what folding the whole string does, except for
// characters outside the Basic Multilingual Plane, which come as surrogate pairs: a name
// holding one is folded whole, once, and read from that copy.
class FoldedName {
public:
    // name must outlive this object.
    explicit FoldedName(const QString& name);

    qsizetype size() const { return m_text.size(); }
    QChar operator[](qsizetype at) const
    {
        const QChar character = m_text[at];
        if (m_mode == Mode::FoldedWhole)
            return character;
        const char16_t code = character.unicode();
        if (code < 0x80)
            return code >= u'A' && code <= u'Z' ? QChar(static_cast<char16_t>(code + (u'a' - u'A'))) : character;
        return character.toCaseFolded();
    }

private:
    enum class Mode {
        ByUnit,
        FoldedWhole,
    };

    QString m_whole;
    QStringView m_text;
    Mode m_mode {Mode::ByUnit};
};

} // namespace platform
