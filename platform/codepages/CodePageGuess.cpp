#include "platform/codepages/CodePageGuess.h"

#include "platform/codepages/CodePageJudge.h"
#include "platform/codepages/NoteWindow.h"
#include "platform/names/Utf8.h"

namespace platform {

namespace {

// The names of a folder judged together are read up to this many bytes: a few dozen names
// say all the listing can, and the judging stays as quick for 30,000 names as for 30.
constexpr qsizetype NamesBytes = 1024;

bool IsUtf8(const QByteArray& name)
{
    return Utf8::Check(reinterpret_cast<const unsigned char*>(name.constData()), std::size_t(name.size()))
        == Utf8::Status::Valid;
}

} // namespace

const char* CodePageGuess::ForNote(QByteArrayView firstBytes, const char* prior)
{
    if (const char* utf16 = codepages::NoteWindow::Utf16Shape(firstBytes))
        return utf16;
    const auto window = codepages::NoteWindow::Of(firstBytes);
    return window ? codepages::CodePageJudge::Best(*window, prior, codepages::CodePageJudge::Sources::One) : prior;
}

const char* CodePageGuess::ForNames(const QList<QByteArray>& names, const char* prior)
{
    // One line a name, as the models read a line end: a space between words.
    QByteArray listing;
    for (const QByteArray& name : names) {
        if (listing.size() >= NamesBytes)
            break;
        if (!IsUtf8(name))
            listing.append(name).append('\n');
    }
    return listing.isEmpty() ? prior
                             : codepages::CodePageJudge::Best(listing.first(std::min(listing.size(), NamesBytes)),
                                 prior, codepages::CodePageJudge::Sources::Several);
}

} // namespace platform
