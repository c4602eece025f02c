#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace preview {

// Reads the previews of a folder's notes on a pool of reader threads, ahead of the caller,
// who takes them one by one in list order while it builds their boxes.
//
// A rebuild spends its time waiting for opens and reads. On a warm local disk two processors
// share that work; on a cold disk or a network drive every request waits for the device, and
// only many requests in flight keep it busy. So the pool has more readers than the machine has
// processors (Readers, and MaxReaders when the notes keep coming late). They take the notes in
// list order, each note once, with exactly the rule of PreviewLoader::Load, and keep each text
// until the caller takes it; nothing is kept once the pool is gone.
//
// A drive that stops answering blocks an open or a read in the kernel, where no thread can be
// interrupted. Each reader shows on its own platform::CallClock whether it is in such a call
// and since when. A reader that has sat in one call for longer than the deadline (CallDeadline)
// is given up: its note gets "无法加载 " followed by its path, as a note that cannot be opened,
// and the caller goes on without waiting for it any longer. The reader is never joined: it
// owns its share of the pool's state, so nothing it touches is freed under it, whatever it
// returns late is dropped, and the program exits without waiting for it. A reader that keeps
// returning from its calls is never given up, however long its note takes.
//
// Given-up readers are bounded for the whole program (MaxGivenUp): a new pool gets only as many
// readers as remain under that bound, so a dead share cannot make the program's threads grow
// without limit. Once every reader of a pool has been given up, the folder has stopped
// answering, and the pool's remaining notes get the failure text at once instead of a wait
// for each; so do all notes of a pool that got no reader at all, until given-up readers return.
class PreviewPrefetch {
public:
    // Reads one note: the path and the number of non-blank lines wanted. It may throw; what
    // it throws reaches the caller of Take for that note.
    using Loader = std::function<QString(const QString& pathName, std::int32_t linesPerItem)>;

    // The readers a pool starts with. On two processors, a cold local folder was read with 16
    // requests in flight in under half the time 2 took, a folder on a drive that adds 1 ms to
    // every request in a fifth.
    static constexpr int Readers = 16;
    // The readers a pool grows to once the caller has had to wait for GrowAfterLateNotes
    // different notes, which happens on a cold disk or a network drive but hardly ever on a
    // warm disk, where the readers stay ahead from the first note. On a cold local folder 32
    // requests in flight read a tenth to a fifth faster than 16; on a warm one the other 16
    // threads would only cost processor time.
    static constexpr int MaxReaders = 32;
    static constexpr int GrowAfterLateNotes = 16;
    // How long one open or read may go without returning before its note is given up. A
    // network drive that merely answers slowly stays well within it; one that has gone away
    // keeps a call waiting for minutes.
    static constexpr std::chrono::milliseconds CallDeadline {2000};
    // Readers given up and still blocked, in the whole program, beyond which no pool starts
    // another.
    static constexpr int MaxGivenUp = 64;

    // Notes are folderPrefix + names[index], read with PreviewLoader::Load.
    PreviewPrefetch(const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem);
    PreviewPrefetch(const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem, Loader load,
        std::chrono::milliseconds deadline);
    // Stops the readers after the notes they are reading, without waiting for them.
    ~PreviewPrefetch();
    PreviewPrefetch(const PreviewPrefetch&) = delete;
    PreviewPrefetch& operator=(const PreviewPrefetch&) = delete;

    // The preview of names[index], waiting for it while its reader makes progress, or the
    // failure text when the note was given up. Each index is taken once, in any order; an
    // index outside the list is error 5 (invalid procedure call).
    QString Take(qsizetype index);

private:
    struct Shared;

    void AddReaders(int target);
    void NoteLate(qsizetype index);
    QString GiveUp(qsizetype index) const;
    bool GiveUpOverdueReaders();
    void WaitForProgress(qsizetype index);

    std::shared_ptr<Shared> m_shared;
};

} // namespace preview
