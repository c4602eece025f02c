#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace platform {

// Which code page a note, or a folder's names, were written in, when their bytes are not
// UTF-8 and carry no byte-order mark. A folder of notes is often from several machines, so
// the choice is made per note (and per folder for names), among the legacy code pages the
// users of this program meet. The code page of the user's locale is the prior: the bytes
// stay in it unless another page reads them clearly better.
class CodePageGuess {
public:
    // The encoding of a note, judged once from the bytes of its first read: a name that
    // QStringDecoder accepts ("UTF-16LE" and "UTF-16BE" included, for UTF-16 without a mark),
    // or prior itself.
    static const char* ForNote(QByteArrayView firstBytes, const char* prior);

    // The code page of the names of one folder listing that are not UTF-8, judged together,
    // since a folder's names usually come from one source and one name alone is short.
    static const char* ForNames(const QList<QByteArray>& names, const char* prior);
};

} // namespace platform
