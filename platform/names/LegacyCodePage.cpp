#include "platform/names/LegacyCodePage.h"

#include "platform/names/CodePage.h"
#include "platform/names/PosixLocale.h"

#include <QByteArray>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace platform::LegacyCodePage {

namespace {

using namespace std::string_view_literals;

struct Charset {
    std::string_view spelling; // lower case, letters and digits only, as glibc compares them
    const char* codePage; // nullptr: not a legacy charset, the language decides
};

// The charsets of Linux locales, and their common spellings, by the name Qt's ICU converters
// know them under. A charset whose superset is what the desktops actually wrote is read as
// that superset, as web browsers do: it reads every character of the smaller one the same
// way and the others too (GBK for GB2312, Windows-949 for EUC-KR, Windows-1252 for Latin-1,
// whose bytes 0x80 to 0x9F are control characters no note holds).
constexpr std::array Charsets {
    Charset {"utf8"sv, nullptr},
    Charset {"ascii"sv, nullptr},
    Charset {"usascii"sv, nullptr},
    Charset {"ansix341968"sv, nullptr},
    Charset {"big5"sv, "Big5"},
    Charset {"big5hkscs"sv, "Big5-HKSCS"},
    Charset {"gb18030"sv, "GB18030"},
    Charset {"gbk"sv, "GB18030"},
    Charset {"gb2312"sv, "GB18030"},
    Charset {"euccn"sv, "GB18030"},
    Charset {"euctw"sv, "EUC-TW"},
    Charset {"eucjp"sv, "EUC-JP"},
    Charset {"ujis"sv, "EUC-JP"},
    Charset {"sjis"sv, "Shift_JIS"},
    Charset {"shiftjis"sv, "Shift_JIS"},
    Charset {"cp932"sv, "Shift_JIS"},
    Charset {"windows31j"sv, "Shift_JIS"},
    Charset {"euckr"sv, "windows-949"},
    Charset {"cp949"sv, "windows-949"},
    Charset {"uhc"sv, "windows-949"},
    Charset {"koi8r"sv, "KOI8-R"},
    Charset {"koi8u"sv, "KOI8-U"},
    Charset {"iso88591"sv, "windows-1252"},
    Charset {"latin1"sv, "windows-1252"},
    Charset {"iso88592"sv, "ISO-8859-2"},
    Charset {"iso88593"sv, "ISO-8859-3"},
    Charset {"iso88594"sv, "ISO-8859-4"},
    Charset {"iso88595"sv, "ISO-8859-5"},
    Charset {"iso88596"sv, "ISO-8859-6"},
    Charset {"iso88597"sv, "ISO-8859-7"},
    Charset {"iso88598"sv, "ISO-8859-8"},
    Charset {"iso88599"sv, "windows-1254"},
    Charset {"iso885910"sv, "ISO-8859-10"},
    Charset {"iso885911"sv, "windows-874"},
    Charset {"tis620"sv, "windows-874"},
    Charset {"iso885913"sv, "ISO-8859-13"},
    Charset {"iso885914"sv, "ISO-8859-14"},
    Charset {"iso885915"sv, "ISO-8859-15"},
    Charset {"cp874"sv, "windows-874"},
    Charset {"cp1250"sv, "windows-1250"},
    Charset {"cp1251"sv, "windows-1251"},
    Charset {"cp1252"sv, "windows-1252"},
    Charset {"cp1253"sv, "windows-1253"},
    Charset {"cp1254"sv, "windows-1254"},
    Charset {"cp1255"sv, "windows-1255"},
    Charset {"cp1256"sv, "windows-1256"},
    Charset {"cp1257"sv, "windows-1257"},
    Charset {"cp1258"sv, "windows-1258"},
};

struct Language {
    std::string_view code;
    const char* codePage;
};

// The code page Windows gives each language for files without a byte-order mark. Chinese
// depends on the territory and the C locale is no language; both are handled apart.
constexpr std::array Languages {
    Language {"ja"sv, "Shift_JIS"},
    Language {"ko"sv, "windows-949"},
    Language {"ru"sv, "windows-1251"},
    Language {"uk"sv, "windows-1251"},
    Language {"be"sv, "windows-1251"},
    Language {"bg"sv, "windows-1251"},
    Language {"sr"sv, "windows-1251"},
    Language {"mk"sv, "windows-1251"},
    Language {"kk"sv, "windows-1251"},
    Language {"ky"sv, "windows-1251"},
    Language {"mn"sv, "windows-1251"},
    Language {"tt"sv, "windows-1251"},
    Language {"tg"sv, "windows-1251"},
    Language {"pl"sv, "windows-1250"},
    Language {"cs"sv, "windows-1250"},
    Language {"sk"sv, "windows-1250"},
    Language {"hu"sv, "windows-1250"},
    Language {"sl"sv, "windows-1250"},
    Language {"hr"sv, "windows-1250"},
    Language {"bs"sv, "windows-1250"},
    Language {"ro"sv, "windows-1250"},
    Language {"sq"sv, "windows-1250"},
    Language {"el"sv, "windows-1253"},
    Language {"tr"sv, "windows-1254"},
    Language {"az"sv, "windows-1254"},
    Language {"uz"sv, "windows-1254"},
    Language {"he"sv, "windows-1255"},
    Language {"yi"sv, "windows-1255"},
    Language {"ar"sv, "windows-1256"},
    Language {"fa"sv, "windows-1256"},
    Language {"ur"sv, "windows-1256"},
    Language {"ps"sv, "windows-1256"},
    Language {"ug"sv, "windows-1256"},
    Language {"ckb"sv, "windows-1256"},
    Language {"et"sv, "windows-1257"},
    Language {"lv"sv, "windows-1257"},
    Language {"lt"sv, "windows-1257"},
    Language {"vi"sv, "windows-1258"},
    Language {"th"sv, "windows-874"},
};

const char* ForLanguage(const PosixLocale& locale)
{
    if (locale.NamesNoLanguage())
        return Fallback;
    if (locale.language == "zh")
        return locale.IsTraditionalChinese() ? "Big5-HKSCS" : "GB18030";
    // Serbian in Latin letters was written in the Central European code page.
    if (locale.language == "sr" && locale.modifier == "latin")
        return "windows-1250";
    const auto found = std::find_if(Languages.begin(), Languages.end(),
        [&](const Language& language) { return locale.language == QByteArrayView(language.code); });
    return found == Languages.end() ? "windows-1252" : found->codePage;
}

const char* ForLocale(const PosixLocale& locale)
{
    if (locale.charset.isEmpty())
        return ForLanguage(locale);
    const auto found = std::find_if(Charsets.begin(), Charsets.end(),
        [&](const Charset& charset) { return locale.charset == QByteArrayView(charset.spelling); });
    // A charset not known here is one no converter is asked for either.
    if (found == Charsets.end())
        return Fallback;
    return found->codePage ? found->codePage : ForLanguage(locale);
}

bool Converts(const char* codePage)
{
    return CodePage::Named(codePage).Converts();
}

} // namespace

const char* ForEnvironment(QByteArrayView lcAll, QByteArrayView lcCtype, QByteArrayView lang)
{
    const char* codePage = ForLocale(PosixLocale::FirstSet(lcAll, lcCtype, lang));
    return Converts(codePage) ? codePage : Fallback;
}

const char* Name()
{
    static const char* const codePage = ForEnvironment(qgetenv("LC_ALL"), qgetenv("LC_CTYPE"), qgetenv("LANG"));
    return codePage;
}

} // namespace platform::LegacyCodePage
