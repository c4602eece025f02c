#pragma once

#include "platform/hang/StuckLedger.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace preview {

class PrefetchPool;

// Reads the previews of a folder's notes on a pool of reader threads, ahead of the window, which
// takes them one by one in list order while it builds their boxes.
//
// A rebuild spends its time waiting for opens and reads. On a warm local disk two processors
// share that work; on a cold disk or a network drive every request waits for the device, and
// only many requests in flight keep it busy. So the pool has more readers than the machine has
// processors (Readers, and MaxReaders when the notes keep coming late). They take the notes in
// list order, each note once, with exactly the rule of PreviewLoader::Load, and keep each text
// until the window takes it.
//
// A drive that stops answering blocks an open or a read in the kernel, where no thread can be
// interrupted. Each reader shows on its own platform::CallClock how long ago it last came back
// from a call; one that has gone the deadline without is given up: its note gets "无法加载 "
// and its path, and the window goes on without it. The reader is never joined; it keeps only
// what its own note needs, and is charged to the note's drive (platform::StuckLedger) until it
// returns. A reader that keeps returning from its calls is never given up.
//
// The pool is charged to what it waits on. On a drive with nothing stuck it starts with Readers;
// on one that has calls out, with a single probing reader, which brings the pool back to its
// size as soon as it brings a note back; on one already given up in the window's action, or
// full, with none. Once no reader is left, the notes not yet read get the failure text at once
// rather than a deadline each, and are owed: when a stuck call on the drive returns, the pool
// takes a reader again and reads them, and so does a given-up reader's note if it returns. A
// note read after its box got the failure text is a late note: the reader tells the window
// (late, on the reader's thread), which takes the late notes on its own thread, through its
// event loop. So a pause of the drive costs the rebuild one deadline and fails at most the
// notes in flight, and a drive that stays dead costs one deadline in all.
class PreviewPrefetch {
public:
    // Reads one note: the path and the number of non-blank lines wanted. It may throw; what
    // it throws reaches the caller of Take for that note.
    using Loader = std::function<QString(const QString& pathName, std::int32_t linesPerItem)>;
    // Called on a reader's thread when a late note is ready; never after the pool is gone.
    using Late = std::function<void()>;

    // The readers a pool starts with. On two processors, a cold local folder was read with 16
    // requests in flight in under half the time 2 took, a folder on a drive that adds 1 ms to
    // every request in a fifth.
    static constexpr int Readers = 16;
    // The readers a pool grows to once the window has had to wait for GrowAfterLateNotes
    // different notes, which happens on a cold disk or a network drive but hardly ever on a
    // warm disk, where the readers stay ahead from the first note. On a cold local folder 32
    // requests in flight read a tenth to a fifth faster than 16; on a warm one the other 16
    // threads would only cost processor time.
    static constexpr int MaxReaders = 32;
    static constexpr int GrowAfterLateNotes = 16;

    // Notes are folderPrefix + names[index], read with PreviewLoader::Load.
    PreviewPrefetch(const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem, Late late = {});
    PreviewPrefetch(
        const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem, Loader load, Late late);
    // Stops the readers after the notes they are reading, without waiting for them; a reader in
    // a note counts as given up until it returns. No late note comes after.
    ~PreviewPrefetch();
    PreviewPrefetch(const PreviewPrefetch&) = delete;
    PreviewPrefetch& operator=(const PreviewPrefetch&) = delete;

    // The preview of names[index], waiting for it while its reader makes progress, or the
    // failure text when the note was given up or no reader is left for it. Each index is taken
    // once, in any order; an index outside the list is error 5 (invalid procedure call).
    QString Take(qsizetype index);

    // The late notes read since the last call, each as its index and text.
    QList<std::pair<qsizetype, QString>> TakeLate();
    // Whether notes that got the failure text may still come late, or have come and wait to be
    // taken.
    bool Owes() const;

private:
    std::shared_ptr<PrefetchPool> m_pool;
    std::optional<platform::StuckLedger::Waiting> m_waiting;
};

} // namespace preview
