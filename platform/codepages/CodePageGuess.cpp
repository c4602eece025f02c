#include "platform/codepages/CodePageGuess.h"

namespace platform {

// Until the text is judged, everything stays in the locale's code page.
const char* CodePageGuess::ForNote(QByteArrayView, const char* prior)
{
    return prior;
}

const char* CodePageGuess::ForNames(const QList<QByteArray>&, const char* prior)
{
    return prior;
}

} // namespace platform
