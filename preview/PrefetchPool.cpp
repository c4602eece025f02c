#include "preview/PrefetchPool.h"

#include "platform/files/FolderBatch.h"
#include "platform/hang/MountTable.h"
#include "platform/hang/ThreadStarter.h"
#include "platform/hang/WindowWait.h"
#include "preview/PreviewLoader.h"
#include "preview/PreviewPrefetch.h"

#include <algorithm>
#include <optional>
#include <system_error>

namespace preview {

namespace {

using Clock = platform::CallClock::Clock;
using platform::StuckLedger;

// How often a wait for a note lets the busy pointer show.
constexpr std::chrono::milliseconds BusyTick {50};

unsigned char raw(NoteState state)
{
    return static_cast<unsigned char>(state);
}

} // namespace

PrefetchPool::PrefetchPool(QString prefix, QStringList names, std::int32_t linesPerItem, Loader load, Notice late)
    : m_prefix(std::move(prefix))
    , m_names(std::move(names))
    , m_linesPerItem(linesPerItem)
    , m_load(std::move(load))
    , m_drive(platform::MountTable::MountPointOf(m_prefix))
    , m_slots(std::make_unique<std::atomic<unsigned char>[]>(static_cast<std::size_t>(m_names.size())))
    , m_texts(static_cast<std::size_t>(m_names.size()))
    , m_errors(static_cast<std::size_t>(m_names.size()))
    , m_notice(std::move(late))
{
}

void PrefetchPool::Start()
{
    const std::lock_guard lock(m_mutex);
    if (platform::WindowWait::GaveUpOn(m_drive))
        return;
    // A note can have a call out only on a drive that has one now: other pools' given-up
    // readers, and this pool's own, whose notes it never takes again.
    m_checkPlaces = StuckLedger::OutOn(m_drive) > 0;
    if (!m_checkPlaces) {
        GrowTo(PreviewPrefetch::Readers);
    } else if (!StuckLedger::IsOut(m_prefix)) {
        m_probing = true;
        GrowTo(1);
    }
}

void PrefetchPool::Stop()
{
    const std::lock_guard lock(m_mutex);
    m_stopping.store(true);
    m_notice = nullptr;
    for (const std::shared_ptr<PrefetchReader>& reader : m_readers) {
        const std::lock_guard readerLock(reader->mutex);
        if (reader->inNote && !reader->givenUp) {
            reader->givenUp = true;
            StuckLedger::GaveUp(reader->charge);
        }
    }
}

// Starts readers until target are live, no more than there are notes left, and no more than
// the drive has room for should every one of them get stuck.
void PrefetchPool::GrowTo(int target)
{
    const qsizetype unread = std::max<qsizetype>(0, m_names.size() - m_next.load());
    const int room = StuckLedger::Room(m_drive) - m_live.load();
    const auto wanted = static_cast<int>(std::min<qsizetype>({target - m_live.load(), room, unread}));
    for (int started = 0; started < wanted; ++started) {
        auto reader = std::make_shared<PrefetchReader>();
        reader->probe = m_probing;
        reader->charge.drive = m_drive;
        try {
            platform::ThreadStarter::Detached([pool = weak_from_this(), reader, load = m_load, prefix = m_prefix,
                                                  lines = m_linesPerItem] { Read(pool, reader, load, prefix, lines); });
        } catch (const std::system_error&) {
            return; // the readers started so far do the work, or the notes are owed
        }
        m_readers.push_back(std::move(reader));
        m_live.fetch_add(1);
    }
}

void PrefetchPool::Read(const std::weak_ptr<PrefetchPool>& weak, const std::shared_ptr<PrefetchReader>& self,
    const Loader& load, const QString& prefix, std::int32_t linesPerItem)
{
    const platform::CallClock::Installed installed(self->clock);
    // Each reader opens the notes relative to the folder on its own handle, opened with its
    // first note and timed with it: a folder that does not answer holds up its open too.
    std::optional<platform::FolderBatch> batch;
    for (;;) {
        qsizetype index = -1;
        QString path;
        if (const std::shared_ptr<PrefetchPool> pool = weak.lock(); !pool || !pool->TakeNext(*self, index, path)) {
            if (pool)
                pool->ReaderDone(true);
            return;
        }
        QString text;
        std::exception_ptr error;
        try {
            const platform::CallClock::Call note;
            if (!batch)
                batch.emplace(prefix);
            text = load(path, linesPerItem);
        } catch (...) {
            error = std::current_exception();
        }
        bool givenUp = false;
        platform::Charge charge;
        {
            const std::lock_guard lock(self->mutex);
            self->inNote = false;
            givenUp = self->givenUp.load();
            charge = self->charge;
        }
        if (const std::shared_ptr<PrefetchPool> pool = weak.lock()) {
            pool->Deliver(index, std::move(text), error);
            if (!givenUp)
                pool->ReaderDone(false);
        }
        if (givenUp) {
            // Its room comes back, and a pool without readers takes a new one (RoomReturned).
            StuckLedger::Returned(charge);
            return;
        }
    }
}

// The next note no reader has, in list order. A note whose place has a call out from an
// earlier rebuild is not asked again: it fails at once.
bool PrefetchPool::TakeNext(PrefetchReader& self, qsizetype& index, QString& path)
{
    while (!m_stopping.load()) {
        index = m_next.fetch_add(1);
        if (index >= m_names.size())
            return false;
        path = m_prefix + m_names[index];
        if (m_checkPlaces && StuckLedger::IsOut(path)) {
            if (!Claim(index, NoteState::Waiting, NoteState::Skipped)
                && Claim(index, NoteState::Owed, NoteState::Taken))
                m_owed.fetch_sub(1);
            continue;
        }
        if (!Claim(index, NoteState::Waiting, NoteState::Reading)
            && !Claim(index, NoteState::Owed, NoteState::OwedReading))
            continue;
        // Looked at again with the reader's lock held: Stop either sees the reader in its note
        // and charges it, or the reader sees the pool stopping and leaves.
        const std::lock_guard lock(self.mutex);
        if (m_stopping.load())
            return false;
        self.inNote = true;
        self.note = index;
        self.charge.place = self.probe ? m_prefix : path;
        return true;
    }
    return false;
}

bool PrefetchPool::Claim(qsizetype index, NoteState from, NoteState to)
{
    unsigned char expected = raw(from);
    return m_slots[index].compare_exchange_strong(expected, raw(to));
}

// Hands a note over: to the window that waits for it, or, when its box already shows the
// failure text, to the late notes that the window takes through its event loop.
void PrefetchPool::Deliver(qsizetype index, QString text, std::exception_ptr error)
{
    for (;;) {
        const NoteState state = State(index);
        if (state == NoteState::Reading || state == NoteState::GivenUp) {
            m_texts[static_cast<std::size_t>(index)] = text;
            m_errors[static_cast<std::size_t>(index)] = error;
            if (!Claim(index, state, error ? NoteState::Threw : NoteState::Read))
                continue;
            if (m_awaited.load() == index) {
                const std::lock_guard lock(m_mutex);
                m_arrived.notify_one();
            }
            return;
        }
        if (state != NoteState::OwedReading || !Claim(index, state, NoteState::Taken))
            return;
        const std::lock_guard lock(m_mutex);
        m_owed.fetch_sub(1);
        if (!error)
            m_late.append({index, std::move(text)});
        if (m_notice && !m_noticed) {
            m_noticed = true;
            m_notice();
        }
        return;
    }
}

// A reader finished a note, or left the pool. A probe that brought a note back shows that the
// drive answers again: the pool grows back to its full size.
void PrefetchPool::ReaderDone(bool leaving)
{
    if (!leaving && !m_probing)
        return;
    const std::lock_guard lock(m_mutex);
    if (leaving) {
        m_live.fetch_sub(1);
        return;
    }
    if (!m_probing || m_stopping.load())
        return;
    m_probing = false;
    for (const std::shared_ptr<PrefetchReader>& reader : m_readers) {
        const std::lock_guard readerLock(reader->mutex);
        reader->probe = false;
    }
    GrowTo(PreviewPrefetch::Readers);
}

void PrefetchPool::RoomReturned()
{
    const std::lock_guard lock(m_mutex);
    if (m_stopping.load() || m_live.load() > 0 || m_next.load() >= m_names.size() || StuckLedger::IsOut(m_prefix))
        return;
    m_probing = true;
    GrowTo(1);
}

QString PrefetchPool::TakeText(qsizetype index)
{
    m_slots[index].store(raw(NoteState::Taken));
    return std::move(m_texts[static_cast<std::size_t>(index)]);
}

QString PrefetchPool::FailureText(qsizetype index) const
{
    return PreviewLoader::FailureText(m_prefix + m_names[index]);
}

bool PrefetchPool::Owes() const
{
    const std::lock_guard lock(m_mutex);
    return m_owed.load() > 0 || !m_late.isEmpty();
}

QList<std::pair<qsizetype, QString>> PrefetchPool::TakeLate()
{
    const std::lock_guard lock(m_mutex);
    m_noticed = false;
    return std::exchange(m_late, {});
}

// Gives up every reader that has sat in one call for longer than the deadline, whichever note
// it has; returns whether it gave up any. Once one is given up the drive has stopped answering,
// so the rest of the window's action does not wait for it again.
bool PrefetchPool::GiveUpOverdue()
{
    const Clock::time_point now = Clock::now();
    bool gaveUp = false;
    const std::lock_guard lock(m_mutex);
    for (const std::shared_ptr<PrefetchReader>& reader : m_readers) {
        // The clock first, without the reader's lock: a reader is overdue seldom, and the
        // window looks every time it has to wait for a note.
        if (reader->givenUp.load() || !reader->clock.Overdue(now))
            continue;
        const std::lock_guard readerLock(reader->mutex);
        if (!reader->inNote || reader->givenUp.load())
            continue;
        reader->givenUp = true;
        StuckLedger::GaveUp(reader->charge);
        Claim(reader->note, NoteState::Reading, NoteState::GivenUp);
        m_live.fetch_sub(1);
        gaveUp = true;
    }
    if (gaveUp) {
        m_gaveUp = true;
        m_probing = false;
        platform::WindowWait::GaveUp(m_drive);
    }
    return gaveUp;
}

// Counts the notes the window had to wait for, and grows the pool once there are enough of
// them, unless a reader has been given up: then the folder has stopped answering, and more
// readers would only get stuck too.
void PrefetchPool::NoteLate(qsizetype index)
{
    if (index == m_lastLate)
        return;
    m_lastLate = index;
    if (++m_lateNotes != PreviewPrefetch::GrowAfterLateNotes || m_gaveUp)
        return;
    const std::lock_guard lock(m_mutex);
    if (!m_probing)
        GrowTo(PreviewPrefetch::MaxReaders);
}

// Sleeps until the note arrives or the oldest call now running reaches the deadline. A call
// that starts later is looked at again within one tick, so the wait is never endless.
void PrefetchPool::WaitForProgress(qsizetype index)
{
    std::unique_lock lock(m_mutex);
    const Clock::time_point now = Clock::now();
    Clock::time_point until = now + BusyTick;
    for (const std::shared_ptr<PrefetchReader>& reader : m_readers) {
        if (reader->givenUp.load())
            continue;
        if (const auto inCall = reader->clock.InCallFor(now))
            until = std::min(until, now - *inCall + platform::CallClock::Deadline);
    }
    m_awaited.store(index);
    const NoteState state = State(index);
    if (state == NoteState::Waiting || state == NoteState::Reading)
        m_arrived.wait_until(lock, until);
    m_awaited.store(-1);
}

} // namespace preview
