#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

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

// Converters for Name(), stateless, since every line or name is converted on its own.
QStringDecoder Decoder();
QStringEncoder Encoder();

// ICU gives U+001A (SUB) instead of U+FFFD for a byte that some code pages leave unassigned,
// as Shift_JIS and EUC-JP do 0x80. Text decoded in a legacy code page passes through here so
// that such a byte shows as U+FFFD like every byte that does not decode. A real 0x1A, the
// end-of-file mark of old DOS files, is no text either and shows the same.
void ReplaceSubstitutes(QString& text);

// Whether text decoded in codePage can hold a U+001A that no 0x1A byte gave, so that every
// decoded line must pass through ReplaceSubstitutes; otherwise only a line whose bytes hold
// 0x1A needs to. ICU substitutes U+001A only in a code page with a one-byte substitution
// character, and only for one invalid byte: a byte that decodes to nothing alone, or a lead
// byte without its trail byte. Shift_JIS, EUC-JP and EUC-TW do; GB18030, Big5, Big5-HKSCS,
// Windows-949 and the single-byte code pages do not. Learnt once for the locale's code page.
bool Substitutes(const char* codePage);

} // namespace LegacyCodePage
} // namespace platform
