#include "platform/names/PosixLocale.h"

#include <cctype>

namespace platform {

PosixLocale PosixLocale::Parse(QByteArrayView text)
{
    PosixLocale locale;
    if (const auto at = text.indexOf('@'); at >= 0) {
        locale.modifier = text.sliced(at + 1).toByteArray().toLower();
        text = text.first(at);
    }
    if (const auto dot = text.indexOf('.'); dot >= 0) {
        for (const char character : text.sliced(dot + 1)) {
            if (std::isalnum(static_cast<unsigned char>(character)))
                locale.charset += static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
        }
        text = text.first(dot);
    }
    if (const auto underscore = text.indexOf('_'); underscore >= 0) {
        locale.territory = text.sliced(underscore + 1).toByteArray().toUpper();
        text = text.first(underscore);
    }
    locale.language = text.toByteArray().toLower();
    return locale;
}

PosixLocale PosixLocale::FirstSet(QByteArrayView lcAll, QByteArrayView category, QByteArrayView lang)
{
    return Parse(!lcAll.isEmpty() ? lcAll : !category.isEmpty() ? category : lang);
}

bool PosixLocale::NamesNoLanguage() const
{
    return language.isEmpty() || language == "c" || language == "posix";
}

bool PosixLocale::IsTraditionalChinese() const
{
    return language == "zh" && (territory == "TW" || territory == "HK" || territory == "MO");
}

} // namespace platform
