#pragma once

#include "tools/unihan/UnihanFields.h"

#include <QHash>
#include <QStringList>

namespace platform::codepages {

// How often each Han character is written in a language, as shares that add up to one, from
// the Unihan database. Its one real count of use is kHanyuPinlu, the frequency of each
// character in a corpus of modern mainland Chinese; the other languages reach it through the
// variants of each character (a traditional form takes the count of its simplified one, as a
// Japanese or Korean form that is the traditional one does). Beside the counts, the levels of
// each national standard say which characters are common there: the first level of GB 2312,
// Big5, JIS X 0208, the Jōyō list, KS X 1001's Hanja. A character in none has no share; the
// models give it the cost of a rare character.
class HanWeights {
public:
    enum class Script { Simplified, Traditional, Japanese, Korean };

    static QStringList Fields();
    static QHash<char32_t, double> For(Script script, const UnihanFields& unihan);
};

} // namespace platform::codepages
