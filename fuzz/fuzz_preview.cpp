// Fuzz target for the sequential text input and the preview text built on it.
//
// Both read from a path, so every input is written to one file in a folder of this process
// and read back from there. The first two bytes of an input pick the options, the rest is the
// file's content:
//   byte 0 % 9       lines per preview box, 0 to 8;
//   byte 0 / 9 % 2   whether AtEnd is asked twice before every line, which must change nothing;
//   byte 0 / 18 == 1 to put one long line before the content, so that the input's byte bound
//                    falls in the middle of it. The fuzzer's own inputs grow towards the bound
//                    only slowly, and reading 64 KiB costs some twenty times a small note, so
//                    only one value in fourteen asks for it;
//   byte 1 % 16      the user's locale, whose code page is the prior the text input judges a
//                    note that is not UTF-8 against: one of each legacy code page the locales
//                    choose, and C. The preview loader reads with the process's own prior, so
//                    where the note needed judging its lines are compared with a read with that.
// Any broken rule prints what broke and aborts, so the fuzzer keeps the input that did it.

#include "fuzz/FuzzSupport.h"
#include "fuzz/WholeFileDecoding.h"
#include "platform/files/TextInput.h"
#include "platform/names/LegacyCodePage.h"
#include "platform/runtime/Error.h"
#include "preview/PreviewLoader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

using fuzz::Fail;
using fuzz::Visible;
using platform::TextInput;

namespace {

constexpr QStringView LineBreak = u"\r\n";

enum class AtEndCalls {
    Once,
    Twice,
};

enum class Content {
    AsGiven,
    AfterALongLine,
};

struct Options {
    std::int32_t linesPerItem;
    AtEndCalls atEndCalls;
    Content content;
    const char* prior;
};

constexpr std::array<const char*, 16> Locales {"zh_CN.UTF-8", "zh_TW.UTF-8", "zh_TW.BIG5", "ja_JP.UTF-8", "ja_JP.eucJP",
    "ko_KR.UTF-8", "ru_RU.UTF-8", "ru_RU.KOI8-R", "de_DE.UTF-8", "pl_PL.UTF-8", "el_GR.UTF-8", "tr_TR.UTF-8",
    "he_IL.UTF-8", "ar_EG.UTF-8", "th_TH.UTF-8", "C"};

const char* PriorOf(std::size_t locale)
{
    static const auto priors = [] {
        std::array<const char*, Locales.size()> codePages {};
        for (std::size_t i = 0; i < Locales.size(); ++i)
            codePages[i] = platform::LegacyCodePage::ForEnvironment({}, {}, Locales[i]);
        return codePages;
    }();
    return priors[locale % priors.size()];
}

struct ReadResult {
    QStringList lines;
    qint64 bytesRead {0};
    TextInput::Encoding encoding {TextInput::Encoding::Undetermined};
    const char* decided {nullptr};
};

void CheckLine(const QString& line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar character = line[i];
        if (character == u'\r' || character == u'\n')
            Fail("a line holds a line terminator", Visible(line));
        if (character.isNull())
            Fail("a line holds a NUL", Visible(line));
        if (character.isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
            ++i;
        else if (character.isSurrogate())
            Fail("a line holds half of a character", Visible(line));
    }
}

void CheckReadPastEnd(TextInput& input)
{
    try {
        input.ReadLine();
    } catch (const platform::Error& error) {
        if (error.code() != platform::ErrorCode::InputPastEnd)
            Fail("reading past the end gave the wrong error", error.description());
        return;
    }
    Fail("reading past the end returned a line");
}

ReadResult ReadAll(const QString& path, AtEndCalls atEndCalls, const char* prior)
{
    ReadResult result;
    try {
        TextInput input(path, prior);
        while (!input.AtEnd()) {
            if (atEndCalls == AtEndCalls::Twice && input.AtEnd())
                Fail("asking AtEnd again changed its answer");
            const QString line = input.ReadLine();
            CheckLine(line);
            // ICU's substitute for an unassigned byte is no character a reader can see.
            if (input.CurrentEncoding() == TextInput::Encoding::Legacy && line.contains(QChar(0x1A)))
                Fail("a line read in a legacy code page holds U+001A", Visible(line));
            result.lines << line;
            if (input.BytesRead() > TextInput::ByteLimit)
                Fail("more than the bound was read");
            // Every line but an empty last one costs at least one byte; this also stops an
            // input that would never end.
            if (result.lines.size() > input.BytesRead())
                Fail("more lines than bytes read");
        }
        CheckReadPastEnd(input);
        result.bytesRead = input.BytesRead();
        result.encoding = input.CurrentEncoding();
        result.decided = input.Decided();
        input.Close();
        if (!input.AtEnd() || input.BytesRead() != result.bytesRead)
            Fail("Close did not leave the input at its end");
    } catch (const platform::Error& error) {
        // The file is regular, readable and in place: nothing may fail on it.
        Fail("reading a regular file failed", error.description());
    } catch (...) {
        Fail("reading threw something other than platform::Error");
    }
    return result;
}

// Control bytes read as themselves in UTF-8 and in every legacy code page: none of them is ever
// part of a multi-byte character. Left out: CR and LF, which end lines, NUL, which becomes
// U+FFFD, and 0x1A, which a legacy code page shows as U+FFFD.
void CheckControlBytes(const QByteArray& content, const ReadResult& result)
{
    if (result.encoding == TextInput::Encoding::Utf16LE || result.encoding == TextInput::Encoding::Utf16BE)
        return;
    const qsizetype from = content.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const QByteArrayView read = QByteArrayView(content).first(result.bytesRead).sliced(from);
    std::array<qsizetype, 0x80> bytes {};
    std::array<qsizetype, 0x80> characters {};
    for (const char byte : read) {
        if (static_cast<unsigned char>(byte) < 0x80)
            ++bytes[static_cast<unsigned char>(byte)];
    }
    for (const QString& line : result.lines) {
        for (const QChar character : line) {
            if (character.unicode() < 0x80)
                ++characters[character.unicode()];
        }
    }
    for (int control = 1; control < 0x80; ++control) {
        if ((control >= 0x20 && control < 0x7F) || control == '\n' || control == '\r' || control == 0x1A)
            continue;
        if (bytes[control] != characters[control])
            Fail("a control byte did not read as itself",
                QStringLiteral("0x%1: %2 bytes, %3 characters, read in %4")
                    .arg(control, 2, 16, QLatin1Char('0'))
                    .arg(bytes[control])
                    .arg(characters[control])
                    .arg(QString::fromLatin1(result.decided ? result.decided : "UTF-8")));
    }
}

void CheckTextInput(const QByteArray& content, const ReadResult& result)
{
    const qint64 whole = std::min<qint64>(content.size(), TextInput::ByteLimit);
    if (result.bytesRead != whole)
        Fail("the input stopped before the end of the file or the bound",
            QStringLiteral("%1 of %2 bytes").arg(result.bytesRead).arg(whole));

    // No encoding turns a byte into more than one UTF-16 unit: a 4-byte sequence gives two.
    qint64 units = 0;
    for (const QString& line : result.lines)
        units += line.size();
    if (units > result.bytesRead)
        Fail("the lines hold more characters than bytes were read",
            QStringLiteral("%1 units from %2 bytes").arg(units).arg(result.bytesRead));

    CheckControlBytes(content, result);

    TextInput::Encoding expected = TextInput::Encoding::Undetermined;
    const auto reference = fuzz::ReferenceLines(content, expected);
    if (!reference)
        return;
    if (result.encoding != expected)
        Fail("the encoding was taken wrongly",
            QStringLiteral("%1 instead of %2").arg(int(result.encoding)).arg(int(expected)));
    if (result.lines != *reference) {
        QString detail = QStringLiteral("%1 lines, expected %2").arg(result.lines.size()).arg(reference->size());
        for (qsizetype i = 0; i < std::max(result.lines.size(), reference->size()); ++i) {
            const QString got = i < result.lines.size() ? result.lines[i] : QStringLiteral("(none)");
            const QString want = i < reference->size() ? (*reference)[i] : QStringLiteral("(none)");
            if (got != want) {
                detail
                    += QStringLiteral("\n  line %1: got '%2', expected '%3'").arg(i).arg(Visible(got), Visible(want));
                break;
            }
        }
        Fail("the lines differ from the whole file's decoding", detail);
    }
}

// The file starts with the content's byte-order mark, if it has one, then a line of 'x' in
// that encoding, then the rest of the content, whose first half is read before the bound.
QByteArray AfterALongLine(const QByteArray& given)
{
    QByteArray mark;
    QByteArray letter("x");
    QByteArray lineFeed("\n");
    if (given.startsWith("\xFF\xFE")) {
        mark = given.first(2);
        letter = QByteArray("x\0", 2);
        lineFeed = QByteArray("\n\0", 2);
    } else if (given.startsWith("\xFE\xFF")) {
        mark = given.first(2);
        letter = QByteArray("\0x", 2);
        lineFeed = QByteArray("\0\n", 2);
    } else if (given.startsWith("\xEF\xBB\xBF")) {
        mark = given.first(3);
    }
    const QByteArray rest = given.sliced(mark.size());
    const qsizetype room = TextInput::ByteLimit - mark.size() - lineFeed.size() - (rest.size() + 1) / 2;
    return mark + letter.repeated(std::max<qsizetype>(room, 0) / letter.size()) + lineFeed + rest;
}

// The bound acts as the end of the file: the same lines come from a file holding only the
// bytes before it.
void CheckTheBoundActsAsTheEnd(
    const QString& path, const QByteArray& content, const char* prior, const ReadResult& read)
{
    fuzz::WriteInput(path, content.constData(), static_cast<std::size_t>(TextInput::ByteLimit));
    const ReadResult cut = ReadAll(path, AtEndCalls::Once, prior);
    if (cut.encoding != read.encoding || QByteArrayView(cut.decided) != QByteArrayView(read.decided))
        Fail("the bound changed the encoding");
    if (cut.lines != read.lines)
        Fail("the bound does not act as the end of the file",
            QStringLiteral("%1 lines, %2 when the file ends there").arg(read.lines.size()).arg(cut.lines.size()));
}

bool IsBlank(const QString& line)
{
    for (const QChar character : line) {
        if (character != u' ')
            return false;
    }
    return true;
}

void CheckPreview(const QString& path, const Options& options, const ReadResult& read)
{
    QString preview;
    try {
        preview = preview::PreviewLoader::Load(path, options.linesPerItem);
    } catch (...) {
        Fail("the preview loader threw");
    }

    if (preview == QStringLiteral("无法加载 ") + path)
        Fail("a regular file gave the failure text");
    if (preview.endsWith(LineBreak))
        Fail("the preview ends with a line break", Visible(preview));

    const QStringList shown = preview.isEmpty() ? QStringList() : preview.split(LineBreak.toString());
    if (shown.size() > options.linesPerItem)
        Fail("the preview holds more lines than the box has room for",
            QStringLiteral("%1 lines for %2").arg(shown.size()).arg(options.linesPerItem));
    for (const QString& line : shown) {
        if (IsBlank(line))
            Fail("the preview holds a blank line", Visible(preview));
    }

    // The preview is the first non-blank lines the input gives, whatever way it was asked.
    QStringList expected;
    for (const QString& line : read.lines) {
        if (expected.size() >= options.linesPerItem)
            break;
        if (!IsBlank(line))
            expected << line;
    }
    if (shown != expected)
        Fail("the preview differs from the input's first non-blank lines",
            QStringLiteral("got '%1', expected '%2'").arg(Visible(preview), Visible(expected.join(LineBreak))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t skipped = std::min<std::size_t>(size, 2);
    const Options options {
        static_cast<std::int32_t>(data[0] % 9),
        data[0] / 9 % 2 == 0 ? AtEndCalls::Once : AtEndCalls::Twice,
        data[0] / 18 == 1 ? Content::AfterALongLine : Content::AsGiven,
        PriorOf(size > 1 ? data[1] : 0),
    };
    const QByteArray given(reinterpret_cast<const char*>(data + skipped), static_cast<qsizetype>(size - skipped));
    const QByteArray content = options.content == Content::AfterALongLine ? AfterALongLine(given) : given;
    const QString& path = fuzz::InputPath();
    fuzz::WriteInput(path, content.constData(), static_cast<std::size_t>(content.size()));

    const ReadResult read = ReadAll(path, options.atEndCalls, options.prior);
    CheckTextInput(content, read);
    const char* const ownPrior = platform::LegacyCodePage::Name();
    const bool sameLines = !read.decided || QByteArrayView(options.prior) == QByteArrayView(ownPrior);
    CheckPreview(path, options, sameLines ? read : ReadAll(path, AtEndCalls::Once, ownPrior));
    if (content.size() > TextInput::ByteLimit)
        CheckTheBoundActsAsTheEnd(path, content, options.prior, read);
    return 0;
}
