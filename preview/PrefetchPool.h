#pragma once

#include "platform/hang/CallClock.h"
#include "platform/hang/StuckLedger.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace preview {

// Where a note stands between the readers and the window. "Shown" means that the window has
// already put the failure text in the note's box, so a text that comes after goes to the late
// notes instead.
enum class NoteState : unsigned char {
    Waiting, // no reader has it yet
    Reading, // a reader has it
    Read, // its text waits for the window
    Threw, // the loader threw; the window gets that
    GivenUp, // its reader sat too long in one call; not shown yet
    Owed, // shown, no reader has it yet
    OwedReading, // shown, a reader has it or sits in it
    Skipped, // a call on it is still out from before; fails at once
    Taken, // done with
};

// One reader of a pool, as the window sees it: the clock it is judged by, and the arbiter
// between the window giving it up and the reader coming back. The reader's thread keeps this,
// its loader and its folder, and nothing of the pool, while it waits in a call: a reader stuck
// for good holds only what its own note needs.
struct PrefetchReader {
    platform::CallClock clock;
    std::mutex mutex; // guards what follows; givenUp is also read without it
    bool inNote {false};
    std::atomic<bool> givenUp {false};
    bool probe {false};
    qsizetype note {-1};
    platform::Charge charge;
};

// The state a rebuild's readers share with the window (see PreviewPrefetch). The window owns
// it; each reader holds it only while it takes a note or hands one over, so it goes with the
// rebuild however long a reader stays stuck.
class PrefetchPool : public std::enable_shared_from_this<PrefetchPool> {
public:
    using Loader = std::function<QString(const QString& pathName, std::int32_t linesPerItem)>;
    using Notice = std::function<void()>;

    PrefetchPool(QString prefix, QStringList names, std::int32_t linesPerItem, Loader load, Notice late);

    // Starts the first readers, as many as the note's drive allows: a full pool on a drive
    // with nothing stuck, a single probing reader on one that has calls out, none on one given
    // up in the window's action or full.
    void Start();
    // The readers stop after their notes; those in a note count as given up until they return.
    void Stop();

    NoteState State(qsizetype index) const { return static_cast<NoteState>(m_slots[index].load()); }
    bool Claim(qsizetype index, NoteState from, NoteState to);
    QString TakeText(qsizetype index);
    std::exception_ptr Error(qsizetype index) const { return m_errors[static_cast<std::size_t>(index)]; }
    QString FailureText(qsizetype index) const;
    qsizetype Count() const { return m_names.size(); }
    int Live() const { return m_live.load(); }
    // Marks a note shown as failed that may still come late.
    void Owe() { m_owed.fetch_add(1); }
    // Whether a note shown as failed may still come, or has come and waits to be taken. Asked
    // under the lock that a late note is handed over with, so that the last note to come is
    // never between the two and lost: the window drops the pool once it owes nothing.
    bool Owes() const;
    QList<std::pair<qsizetype, QString>> TakeLate();

    // The window's side of a wait: give up the readers overdue, grow when notes come late,
    // sleep until the note arrives or the next reader could be overdue.
    bool GiveUpOverdue();
    void NoteLate(qsizetype index);
    void WaitForProgress(qsizetype index);

    // A given-up call on the drive returned: a pool left without readers takes a probe.
    void RoomReturned();
    const QString& Drive() const { return m_drive; }

private:
    static void Read(const std::weak_ptr<PrefetchPool>& weak, const std::shared_ptr<PrefetchReader>& self,
        const Loader& load, const QString& prefix, std::int32_t linesPerItem);
    bool TakeNext(PrefetchReader& self, qsizetype& index, QString& path);
    void Deliver(qsizetype index, QString text, std::exception_ptr error);
    void ReaderDone(bool leaving);
    void GrowTo(int target); // with m_mutex held

    const QString m_prefix;
    const QStringList m_names;
    const std::int32_t m_linesPerItem;
    const Loader m_load;
    const QString m_drive;

    std::unique_ptr<std::atomic<unsigned char>[]> m_slots;
    std::vector<QString> m_texts;
    std::vector<std::exception_ptr> m_errors;
    std::atomic<qsizetype> m_next {0};
    std::atomic<bool> m_stopping {false};
    bool m_checkPlaces {false}; // set before any reader starts
    std::atomic<int> m_live {0};
    std::atomic<int> m_owed {0};
    std::atomic<qsizetype> m_awaited {-1};

    mutable std::mutex m_mutex; // guards what follows, and wakes the window
    std::condition_variable m_arrived;
    std::vector<std::shared_ptr<PrefetchReader>> m_readers;
    std::atomic<bool> m_probing {false}; // changed with m_mutex held
    bool m_gaveUp {false}; // the window's alone, as are the two counts
    int m_lateNotes {0};
    qsizetype m_lastLate {-1};
    QList<std::pair<qsizetype, QString>> m_late;
    Notice m_notice;
    bool m_noticed {false};
};

} // namespace preview
