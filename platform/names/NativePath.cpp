#include "platform/names/NativePath.h"

#include "platform/names/LegacyCodePage.h"

#include <QByteArrayView>
#include <QFile>
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

#ifdef Q_OS_WIN

QByteArray Encode(const QString& path)
{
    return QFile::encodeName(path);
}

QString Decode(QByteArrayView bytes)
{
    return QFile::decodeName(bytes.toByteArray());
}

#else

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

// Length of the well-formed UTF-8 sequence that starts at bytes[0] (overlong forms,
// surrogates and values past U+10FFFF are not well formed), or 0 when there is none.
int sequenceAt(QByteArrayView bytes, char32_t& code)
{
    auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    int length = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1Fu, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0Fu, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07u, smallest = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        auto next = static_cast<unsigned char>(bytes[k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
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
        char32_t code = 0;
        int length = sequenceAt(bytes.sliced(at), code);
        if (length == 0) {
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

// GB18030 is accepted only when it decodes without error, yields no reserved character and
// encodes back to exactly the same bytes: only then can Encode find the file again.
std::optional<QString> decodeGb18030(QByteArrayView bytes)
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
    if (auto legacy = decodeGb18030(bytes))
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

#endif

} // namespace platform::NativePath
