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
// On Linux a name is any string of bytes, and archives made on Windows leave names in the
// legacy code page of the machine that made them (GBK on Chinese Windows, Big5, Shift_JIS,
// Windows-1252 elsewhere) rather than UTF-8; a folder copied from a colleague's disk keeps
// them. The representation is lossless, so that every name listed can be opened again, and
// readable where the bytes allow it. Each path component (the bytes between two '/') is
// decoded on its own:
//   - valid UTF-8 is decoded as UTF-8;
//   - otherwise, a component that is valid in the code page it is read in (for a folder's
//     names, the one chosen for all of them; see FolderScanner) and maps back byte for byte
//     is decoded in it and starts with LegacyMarker, an invisible word joiner. The marker
//     keeps such a name apart from the UTF-8 name that reads the same, so each still opens its
//     own file. When that code page is not the one of the user's locale (LegacyCodePage), a
//     tag follows the marker, PageTagBase plus the code page's CodePage::Index, so that
//     Encode finds the same bytes again;
//   - otherwise every byte that is not part of a valid UTF-8 sequence becomes one private-use
//     code point, EscapeBase plus the byte.
// The private-use block from EscapeBase to EscapeBase + 0xFF is this program's own: a UTF-8
// name that itself holds one of its code points, or the marker, has that character's bytes
// escaped, so decoding never yields the same string for two byte strings. Encode reverses
// it: escape code points give their byte back, a component that starts with the marker is
// encoded in the code page it names, everything else as UTF-8. A path the user typed holds
// no marker or escapes and so means its UTF-8 bytes, which is what any other program would
// open. The tags name code pages by a number of this process: a decoded name is never kept
// beyond it.
namespace NativePath {

inline constexpr QChar LegacyMarker {0x2060};
inline constexpr char16_t EscapeBase = 0xEF00;
inline constexpr char16_t PageTagBase = EscapeBase + 1;

QByteArray Encode(const QString& path);

// Whether a name reads the same whatever code page its folder's names are read in: ASCII, or
// well-formed UTF-8.
bool IsUtf8(QByteArrayView name);
// One name as the system gives it (no '/'), read in codePage if it is not UTF-8.
QString DecodeName(QByteArrayView name, const char* codePage);

// The code page a component of a path that is not UTF-8 is read in, asked for that
// component alone.
using CodePageOf = const char* (*)(QByteArrayView component);
// A whole path, each component decoded on its own; one that is not UTF-8 is read in the code
// page codePageOf gives for it, or without it in the locale's.
QString Decode(QByteArrayView bytes, CodePageOf codePageOf = nullptr);

// True for the code points Decode uses for raw bytes (EscapeBase + 0x80 ... EscapeBase + 0xFF).
inline bool IsEscape(QChar character)
{
    return character.unicode() >= EscapeBase + 0x80 && character.unicode() <= EscapeBase + 0xFF;
}
// True for the code points that, right after the marker, name a code page: from PageTagBase
// up to the first escape, room for every CodePage::Index.
inline bool IsPageTag(QChar character)
{
    return character.unicode() >= PageTagBase && character.unicode() < EscapeBase + 0x80;
}

// A decoded name or path as the lists show it: the markers and tags left out, since some fonts draw
// the word joiner as a box in front of an otherwise readable Chinese name, and every escaped
// byte shown as U+FFFD, the sign a reader knows for "a byte that is no character". Only for
// showing: the result does not lead back to the file.
QString ForDisplay(const QString& decoded);

} // namespace NativePath
} // namespace platform
