#include "platform/names/NativePath.h"

#include "platform/names/LegacyCodePage.h"

#include "platform/names/Utf8.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>
#include <algorithm>
#include <optional>

namespace platform::NativePath {

bool IsEscape(QChar character)
{
    auto code = character.unicode();
    return code >= EscapeBase + 0x80 && code <= EscapeBase + 0xFF;
}

QString ForDisplay(const QString& decoded)
{
    if (std::none_of(decoded.begin(), decoded.end(),
            [](QChar character) { return character == LegacyMarker || IsEscape(character); }))
        return decoded;
    QString shown;
    shown.reserve(decoded.size());
    for (QChar character : decoded) {
        if (character == LegacyMarker)
            continue;
        shown.append(IsEscape(character) ? QChar(QChar::ReplacementCharacter) : character);
    }
    return shown;
}

namespace {

// Characters that Decode gives a meaning of its own; a name that holds them literally has
// them escaped byte by byte, so the mapping stays one to one.
bool isReserved(char32_t code)
{
    return code == LegacyMarker.unicode() || (code >= EscapeBase + 0x80u && code <= EscapeBase + 0xFFu);
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

// The legacy code page is accepted only when it decodes without error, yields no reserved character and
// encodes back to exactly the same bytes: only then can Encode find the file again.
std::optional<QString> decodeLegacy(QByteArrayView bytes)
{
    QStringDecoder decoder = LegacyCodePage::Decoder();
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    for (QChar character : text) {
        if (isReserved(character.unicode()))
            return std::nullopt;
    }
    QStringEncoder encoder = LegacyCodePage::Encoder();
    QByteArray back = encoder.encode(text);
    if (encoder.hasError() || QByteArrayView(back) != bytes)
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

QString decodeComponent(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    Utf8Result utf8 = decodeUtf8(bytes);
    if (utf8.wellFormed)
        return utf8.text;
    if (auto legacy = decodeLegacy(bytes))
        return LegacyMarker + *legacy;
    return utf8.text;
}

void appendRun(QByteArray& out, QStringView run, bool legacy)
{
    if (run.isEmpty())
        return;
    if (!legacy) {
        out.append(run.toUtf8());
        return;
    }
    QStringEncoder encoder = LegacyCodePage::Encoder();
    out.append(QByteArray(encoder.encode(run)));
}

void appendComponent(QByteArray& out, QStringView component)
{
    bool legacy = !component.isEmpty() && component.front() == LegacyMarker;
    if (legacy)
        component = component.sliced(1);
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < component.size(); ++at) {
        if (!IsEscape(component[at]))
            continue;
        appendRun(out, component.sliced(runStart, at - runStart), legacy);
        out.append(static_cast<char>(component[at].unicode() - EscapeBase));
        runStart = at + 1;
    }
    appendRun(out, component.sliced(runStart), legacy);
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

QString Decode(QByteArrayView view)
{
    // A bare name, as a folder listing gives them by the thousand, is one component.
    if (!view.contains('/'))
        return decodeComponent(view);
    QString out;
    out.reserve(view.size());
    qsizetype start = 0;
    while (true) {
        qsizetype slash = view.indexOf('/', start);
        qsizetype end = slash < 0 ? view.size() : slash;
        out.append(decodeComponent(view.sliced(start, end - start)));
        if (slash < 0)
            break;
        out.append(u'/');
        start = slash + 1;
    }
    return out;
}

} // namespace platform::NativePath
