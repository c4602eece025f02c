#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

namespace platform {

// File names travel through the program as QString (folder prefix plus name, then a command
// line) and are turned back into the bytes on disk only where a file is opened or a program
// started. Keeping both directions in one place makes that round trip the same everywhere.
//
// On Linux a name is any string of bytes, and archives made on Windows leave names
// in its legacy code page (GBK on Chinese Windows, Big5, Shift_JIS, Windows-1252 elsewhere)
// rather than UTF-8. The representation is lossless, so that every name listed can be opened
// again, and readable where the bytes allow it. Each path component (the bytes between two
// '/') is decoded on its own:
//   - valid UTF-8 is decoded as UTF-8;
//   - otherwise, a component that is valid in the legacy code page of the user's locale
//     (LegacyCodePage) and maps back byte for byte is decoded in it and starts with
//     LegacyMarker, an invisible word joiner. The marker keeps such a name apart from the
//     UTF-8 name that reads the same, so each still opens its own file;
//   - otherwise every byte that is not part of a valid UTF-8 sequence becomes one private-use
//     code point, EscapeBase plus the byte.
// A UTF-8 name that itself holds a code point of the escape range, or the marker, has that
// character's bytes escaped, so decoding never yields the same string for two byte strings.
// Encode reverses it: escape code points give their byte back, a component that starts with
// the marker is encoded in the legacy code page, everything else as UTF-8. A path the user typed holds no
// marker or escapes and so means its UTF-8 bytes, which is what any other program would open.
namespace NativePath {

inline constexpr QChar LegacyMarker {0x2060};
inline constexpr char16_t EscapeBase = 0xEF00;

QByteArray Encode(const QString& path);
QString Decode(QByteArrayView bytes);

// True for the code points Decode uses for raw bytes (EscapeBase + 0x80 ... EscapeBase + 0xFF).
bool IsEscape(QChar character);

// A decoded name or path as the lists show it: the markers left out, since some fonts draw
// the word joiner as a box in front of an otherwise readable Chinese name, and every escaped
// byte shown as U+FFFD, the sign a reader knows for "a byte that is no character". Only for
// showing: the result does not lead back to the file.
QString ForDisplay(const QString& decoded);

} // namespace NativePath
} // namespace platform
