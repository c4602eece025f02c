#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The order of file and folder names in the lists: case-insensitive, with runs of digits
// compared by their value, so "file2" comes before "file10". Names that still tie are ordered
// by their digit runs' leading zeros (fewer first: "file1" before "file01") and finally by
// their exact code units, so the order is total and a sort gives the same result every time.
// A digit run sorts where its first digit would, so "file.txt" comes before "file1.txt".
// The invisible marker of names decoded from GB18030 is ignored, so those names sort among
// the others by what they show.
class NaturalOrder {
public:
    // Negative, zero or positive like strcmp; zero only for identical names.
    static int Compare(const QString& a, const QString& b);
    static bool Less(const QString& a, const QString& b) { return Compare(a, b) < 0; }

    static void Sort(QStringList& names);
};

} // namespace platform
