#include "platform/names/NameLocale.h"

#include "platform/names/PosixLocale.h"

#include <QtGlobal>

namespace platform {

NameLocale NameLocale::ForEnvironment(QByteArrayView lcAll, QByteArrayView lcCollate, QByteArrayView lang)
{
    const PosixLocale locale = PosixLocale::FirstSet(lcAll, lcCollate, lang);
    if (locale.NamesNoLanguage())
        return {"zh", true};
    // ICU names a script where the environment names a modifier: sr_RS@latin is sr_Latn_RS.
    QByteArray collation = locale.language;
    if (locale.modifier == "latin")
        collation += "_Latn";
    if (!locale.territory.isEmpty())
        collation.append('_').append(locale.territory);
    return {collation, locale.language == "zh"};
}

const NameLocale& NameLocale::OfProcess()
{
    static const NameLocale locale = ForEnvironment(qgetenv("LC_ALL"), qgetenv("LC_COLLATE"), qgetenv("LANG"));
    return locale;
}

} // namespace platform
