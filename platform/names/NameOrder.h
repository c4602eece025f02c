#pragma once

#include "platform/names/NameLocale.h"

#include <QString>
#include <QStringList>

struct UCollator;

namespace platform {

// The order of file, folder and drive names in the lists: the collation of the user's locale
// (NameLocale) through ICU, so that a list reads like a dictionary of the user's language:
// pinyin or strokes for Chinese, Ä beside A for German. Case is ignored and runs of digits
// compare by their value ("file2" before "file10"). Where Chinese names are ordered, Latin
// names come before Chinese ones, as on the desktops our users come from; ICU's own Chinese
// collations put Chinese first.
//
// Names compare by what the lists show (NativePath::ForDisplay), so a name decoded from a
// legacy code page sorts among the others by its readable text. Names that still tie, because
// they differ only in case, in a byte shown as U+FFFD or in being a legacy name's twin, are
// ordered by their code units, so the order is total and every sort of the same names gives
// the same list.
//
// An order holds its own collators, which only the thread that made it may use.
class NameOrder {
public:
    explicit NameOrder(const NameLocale& locale = NameLocale::OfProcess());
    ~NameOrder();
    NameOrder(const NameOrder&) = delete;
    NameOrder& operator=(const NameOrder&) = delete;

    // Negative, zero or positive like strcmp; zero only for identical names.
    int Compare(const QString& a, const QString& b) const;
    bool Less(const QString& a, const QString& b) const { return Compare(a, b) < 0; }

    // A folder's names, added as they are read. Sorted gives them in this order and starts
    // afresh; the sort keys of a large folder are made on two threads.
    void Add(QString name);
    QStringList Sorted();

private:
    // Primary strength for the sort keys, which most names differ in; only names that tie
    // there are compared at secondary strength (accents, and the tones of pinyin), since a
    // key of that strength for every name of a folder takes about a fifth longer to make.
    UCollator* m_keys {nullptr};
    UCollator* m_ties {nullptr};
    QStringList m_pending;
};

} // namespace platform
