#pragma once

#include <QByteArrayView>

namespace platform {

// The code page that text and file names are read in when they are not UTF-8: the one the
// desktops these notes come from used for the user's language and region. It follows the
// locale, the first of LC_ALL, LC_CTYPE and LANG that is set and not empty, read as
// language_TERRITORY.charset@modifier whether or not that locale is installed here:
//   - a legacy charset named in the locale (zh_TW.BIG5, ja_JP.eucJP, ru_RU.KOI8-R) is used
//     itself; a UTF-8 or ASCII charset says nothing about old files and is passed over;
//   - otherwise the language, and for Chinese the territory, choose as those desktops did:
//     GB18030 for mainland Chinese, Big5-HKSCS for Taiwan, Hong Kong and Macao, Shift_JIS
//     for Japanese, a Windows code page for most others, Windows-1252 for the rest;
//   - the C and POSIX locales, and no locale at all, keep GB18030.
// A code page this Qt cannot decode is replaced by GB18030. Qt reaches all of them through
// ICU; a Qt built without it decodes none, and the callers then read UTF-8 with U+FFFD.
namespace LegacyCodePage {

inline constexpr const char* Fallback = "GB18030";

// The rule for the three values of the environment, an unset one given as empty. The name
// is one QStringDecoder and QStringEncoder accept, or Fallback.
const char* ForEnvironment(QByteArrayView lcAll, QByteArrayView lcCtype, QByteArrayView lang);

// The code page of this process, decided from its environment once, when first asked.
const char* Name();

} // namespace LegacyCodePage
} // namespace platform
