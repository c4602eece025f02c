#include "platform/names/NativePath.h"

#include "platform/names/CodePage.h"
#include "platform/names/LegacyCodePage.h"
#include "platform/names/Utf8.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>
#include <algorithm>
#include <optional>

namespace platform::NativePath {

static_assert(PageTagBase + CodePage::Capacity == EscapeBase + 0x80, "a tag for every code page, below the escapes");

QString ForDisplay(const QString& decoded)
{
    if (std::none_of(decoded.begin(), decoded.end(),
            [](QChar character) { return character == LegacyMarker || IsEscape(character); }))
        return decoded;
    QString shown;
    shown.reserve(decoded.size());
    for (qsizetype at = 0; at < decoded.size(); ++at) {
        const QChar character = decoded[at];
        if (character == LegacyMarker) {
            if (at + 1 < decoded.size() && IsPageTag(decoded[at + 1]))
                ++at;
            continue;
        }
        shown.append(IsEscape(character) ? QChar(QChar::ReplacementCharacter) : character);
    }
    return shown;
}

namespace {

// Characters that Decode gives a meaning of its own; a name that holds them literally has
// them escaped byte by byte, so the mapping stays one to one.
bool isReserved(char32_t code)
{
    return code == LegacyMarker.unicode() || (code >= EscapeBase && code <= EscapeBase + 0xFFu);
}

QChar escapeOf(unsigned char byte)
{
    return QChar(static_cast<char16_t>(EscapeBase + byte));
}

struct Utf8Result {
    QString text;
    bool wellFormed {true};
};

Utf8Result decodeUtf8(QByteArrayView bytes)
{
    Utf8Result result;
    result.text.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        const auto sequence = Utf8::Next(
            reinterpret_cast<const unsigned char*>(bytes.data()) + at, static_cast<std::size_t>(bytes.size() - at));
        const int length = sequence.length;
        const char32_t code = sequence.code;
        if (sequence.status != Utf8::Status::Valid) {
            result.wellFormed = false;
            result.text.append(escapeOf(static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        if (isReserved(code)) {
            for (int k = 0; k < length; ++k)
                result.text.append(escapeOf(static_cast<unsigned char>(bytes[at + k])));
        } else if (code < 0x10000) {
            result.text.append(QChar(static_cast<char16_t>(code)));
        } else {
            result.text.append(QChar(QChar::highSurrogate(code)));
            result.text.append(QChar(QChar::lowSurrogate(code)));
        }
        at += length;
    }
    return result;
}

// The code page is accepted only when its reading holds no reserved character and encodes
// back to exactly the same bytes: only then can Encode find the file again. That also refuses
// every byte that does not decode, whose U+FFFD or U+001A encodes to other bytes, and a
// character cut short at the end, which the decoder drops; the converters are the thread's
// own, whose error flag stays set once any name had an error.
std::optional<QString> decodeLegacy(QByteArrayView bytes, const CodePage& codePage)
{
    if (!codePage.Converts())
        return std::nullopt;
    QByteArray given = bytes.toByteArray();
    codePage.ForDecoder(given.data(), given.data() + given.size());
    QString text = codePage.ThreadDecoder().decode(given);
    for (QChar character : text) {
        if (isReserved(character.unicode()))
            return std::nullopt;
    }
    QByteArray back = codePage.ThreadEncoder().encode(text);
    codePage.FromEncoder(back);
    if (QByteArrayView(back) != bytes)
        return std::nullopt;
    return text;
}

bool isAscii(QByteArrayView bytes)
{
    for (char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80)
            return false;
    }
    return true;
}

// The marker alone stands for the locale's code page, by far the most common; any other is
// named by the tag after it.
QString markerFor(const CodePage& codePage)
{
    if (&codePage == &CodePage::Named(LegacyCodePage::Name()))
        return QString(LegacyMarker);
    return QString(LegacyMarker) + QChar(static_cast<char16_t>(PageTagBase + codePage.Index()));
}

QString decodeComponent(QByteArrayView bytes, const char* codePage)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    Utf8Result utf8 = decodeUtf8(bytes);
    if (utf8.wellFormed)
        return utf8.text;
    const CodePage& legacy = CodePage::Named(codePage);
    if (auto text = decodeLegacy(bytes, legacy))
        return markerFor(legacy) + *text;
    return utf8.text;
}

void appendRun(QByteArray& out, QStringView run, const CodePage* codePage)
{
    if (run.isEmpty())
        return;
    if (!codePage) {
        out.append(run.toUtf8());
        return;
    }
    QByteArray bytes = codePage->ThreadEncoder().encode(run);
    codePage->FromEncoder(bytes);
    out.append(bytes);
}

// The code page a component's marker and tag name, taken off the component; null for UTF-8.
const CodePage* takeCodePage(QStringView& component)
{
    if (component.isEmpty() || component.front() != LegacyMarker)
        return nullptr;
    component = component.sliced(1);
    if (component.isEmpty() || !IsPageTag(component.front()))
        return &CodePage::Named(LegacyCodePage::Name());
    const CodePage* named = CodePage::AtIndex(component.front().unicode() - PageTagBase);
    component = component.sliced(1);
    return named ? named : &CodePage::Named(LegacyCodePage::Name());
}

void appendComponent(QByteArray& out, QStringView component)
{
    const CodePage* codePage = takeCodePage(component);
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < component.size(); ++at) {
        if (!IsEscape(component[at]))
            continue;
        appendRun(out, component.sliced(runStart, at - runStart), codePage);
        out.append(static_cast<char>(component[at].unicode() - EscapeBase));
        runStart = at + 1;
    }
    appendRun(out, component.sliced(runStart), codePage);
}

bool isPlainText(const QString& path)
{
    for (QChar character : path) {
        if (character == LegacyMarker || IsEscape(character))
            return false;
    }
    return true;
}

} // namespace

QByteArray Encode(const QString& path)
{
    if (isPlainText(path))
        return path.toUtf8();
    QByteArray out;
    out.reserve(path.size() * 2);
    QStringView view(path);
    qsizetype start = 0;
    while (true) {
        qsizetype slash = view.indexOf(u'/', start);
        qsizetype end = slash < 0 ? view.size() : slash;
        appendComponent(out, view.sliced(start, end - start));
        if (slash < 0)
            break;
        out.append('/');
        start = slash + 1;
    }
    return out;
}

bool IsUtf8(QByteArrayView name)
{
    return isAscii(name)
        || Utf8::Check(reinterpret_cast<const unsigned char*>(name.data()), static_cast<std::size_t>(name.size()))
        == Utf8::Status::Valid;
}

QString DecodeName(QByteArrayView name, const char* codePage)
{
    return decodeComponent(name, codePage);
}

QString Decode(QByteArrayView view, CodePageOf codePageOf)
{
    QString out;
    out.reserve(view.size());
    qsizetype start = 0;
    while (true) {
        qsizetype slash = view.indexOf('/', start);
        qsizetype end = slash < 0 ? view.size() : slash;
        const QByteArrayView component = view.sliced(start, end - start);
        const bool legacy = codePageOf && !IsUtf8(component);
        out.append(decodeComponent(component, legacy ? codePageOf(component) : LegacyCodePage::Name()));
        if (slash < 0)
            break;
        out.append(u'/');
        start = slash + 1;
    }
    return out;
}

} // namespace platform::NativePath
