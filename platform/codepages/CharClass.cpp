#include "platform/codepages/CharClass.h"

#include <QChar>

#include <array>

namespace platform::codepages {

namespace {

constexpr std::array<CharClass, 128> AsciiClasses = [] {
    std::array<CharClass, 128> classes {};
    for (int code = 0; code < 128; ++code) {
        if (code == ' ' || code == '\t' || code == '\n' || code == '\r')
            classes[code] = CharClass::Space;
        else if (code < 0x20 || code == 0x7F)
            classes[code] = CharClass::Invalid;
        else if (code >= '0' && code <= '9')
            classes[code] = CharClass::Digit;
        else if (code >= 'a' && code <= 'z')
            classes[code] = CharClass::LatinLower;
        else if (code >= 'A' && code <= 'Z')
            classes[code] = CharClass::LatinUpper;
        else
            classes[code] = CharClass::AsciiPunctuation;
    }
    return classes;
}();

CharClass LetterOf(char32_t code, QChar::Category category)
{
    const bool lower = category == QChar::Letter_Lowercase;
    switch (QChar::script(code)) {
    case QChar::Script_Latin:
        return lower ? CharClass::LatinLower : CharClass::LatinUpper;
    case QChar::Script_Cyrillic:
        return lower ? CharClass::CyrillicLower : CharClass::CyrillicUpper;
    case QChar::Script_Greek:
        return lower ? CharClass::GreekLower : CharClass::GreekUpper;
    default:
        return CharClass::Symbol;
    }
}

} // namespace

CharClass ClassOf(char32_t code)
{
    if (code < 0x80)
        return AsciiClasses[code];
    // The blocks of Chinese, Japanese and Korean text come first: they are most of what is
    // asked, and ranges answer them without Unicode's tables.
    if ((code >= 0x4E00 && code <= 0x9FFF) || (code >= 0x3400 && code <= 0x4DBF) || (code >= 0xF900 && code <= 0xFAFF)
        || (code >= 0x20000 && code <= 0x3FFFF))
        return CharClass::Han;
    if (code >= 0xAC00 && code <= 0xD7A3)
        return CharClass::Hangul;
    if (code >= 0x3040 && code <= 0x309F)
        return CharClass::Hiragana;
    if ((code >= 0x30A0 && code <= 0x30FF) || (code >= 0x31F0 && code <= 0x31FF) || (code >= 0xFF66 && code <= 0xFF9F))
        return CharClass::Katakana;
    if ((code >= 0x3130 && code <= 0x318F) || (code >= 0x1100 && code <= 0x11FF))
        return CharClass::Hangul;
    if ((code >= 0x3000 && code <= 0x303F) || (code >= 0xFF00 && code <= 0xFFEF))
        return CharClass::CjkPunctuation;
    // A no-break space glued to letters is what a byte of another code page looks like far
    // more often than a typed one, so it is no space here.
    if (code == 0xA0)
        return CharClass::Symbol;
    const auto category = QChar::category(code);
    switch (category) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return CharClass::Invalid;
    case QChar::Separator_Space:
        return CharClass::Space;
    case QChar::Letter_Lowercase:
    case QChar::Letter_Uppercase:
    case QChar::Letter_Titlecase:
        return LetterOf(code, category);
    default:
        return code == 0xFFFD ? CharClass::Invalid : CharClass::Symbol;
    }
}

} // namespace platform::codepages
