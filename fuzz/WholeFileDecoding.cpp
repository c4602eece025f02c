#include "fuzz/WholeFileDecoding.h"

#include <QString>
#include <QStringDecoder>

using platform::TextInput;

namespace fuzz {

namespace {

constexpr QChar Replacement {0xFFFD};

// The same line ends as the input: CR, CR LF or LF; no empty line after a final terminator.
QStringList SplitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

// NUL and unpaired surrogates become the replacement character, as the input promises.
QString Showable(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar character = text[i];
        if (character.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (character.isNull() || character.isSurrogate())
            text[i] = Replacement;
    }
    return text;
}

} // namespace

std::optional<QStringList> ReferenceLines(const QByteArray& content, TextInput::Encoding& expected)
{
    if (content.size() > TextInput::ByteLimit)
        return std::nullopt;
    if (content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF")) {
        const bool little = content.startsWith("\xFF\xFE");
        const QByteArray units = content.mid(2);
        if (units.size() % 2 != 0)
            return std::nullopt;
        QStringDecoder decoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
            QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        expected = little ? TextInput::Encoding::Utf16LE : TextInput::Encoding::Utf16BE;
        return SplitLines(Showable(decoder(units)));
    }
    const bool marked = content.startsWith("\xEF\xBB\xBF");
    if (!marked && content.contains('\0'))
        return std::nullopt;
    const QByteArray text = marked ? content.mid(3) : content;
    QStringDecoder decoder(
        QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const QString decoded = decoder(text);
    if (decoder.hasError())
        return std::nullopt;
    expected = TextInput::Encoding::Utf8;
    return SplitLines(Showable(decoded));
}
} // namespace fuzz
