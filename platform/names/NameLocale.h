#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace platform {

// How the user's locale orders names and finds them by typing. It follows the locale's
// collation, the first of LC_ALL, LC_COLLATE and LANG that is set and not empty:
//   - Chinese in mainland China and Singapore, and Chinese without a territory, orders by
//     pinyin; Chinese in Taiwan, Hong Kong and Macao by strokes, as their desktops do;
//   - the C and POSIX locales, and no locale at all, order as mainland Chinese, as the legacy
//     code page already reads them: Vellumry speaks Chinese first;
//   - every other locale orders by its own language's rules (ICU's, through CLDR).
// Wherever names are ordered as Chinese, a Chinese name is also found by its pinyin.
struct NameLocale {
    // The ICU locale whose collation orders names ("zh", "zh_TW", "de_DE", "sr_Latn_RS").
    QByteArray collation;
    bool chinese {false};

    static NameLocale ForEnvironment(QByteArrayView lcAll, QByteArrayView lcCollate, QByteArrayView lang);

    // The locale of this process, decided from its environment once, when first asked.
    static const NameLocale& OfProcess();
};

} // namespace platform
