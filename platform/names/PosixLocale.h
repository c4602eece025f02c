#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace platform {

// A locale as the environment names it, language_TERRITORY.charset@modifier, each part but the
// language optional, read whether or not the system has that locale installed: the program only
// asks what the user's language and region are, and finds the rest in the code pages and
// collations that Qt and ICU carry themselves.
struct PosixLocale {
    QByteArray language; // lower case
    QByteArray territory; // upper case
    QByteArray charset; // lower case, letters and digits only, as glibc compares them
    QByteArray modifier; // lower case

    static PosixLocale Parse(QByteArrayView text);

    // The first of the three variables that is set and not empty, as the C library reads
    // LC_ALL, then the category's own variable, then LANG.
    static PosixLocale FirstSet(QByteArrayView lcAll, QByteArrayView category, QByteArrayView lang);

    // The C and POSIX locales, and no locale at all: a session that names no language.
    bool NamesNoLanguage() const;

    // Chinese as written in Taiwan, Hong Kong and Macao, in traditional characters, whose
    // desktops read Big5 and order names by strokes; the rest of Chinese is mainland Chinese.
    bool IsTraditionalChinese() const;
};

} // namespace platform
