#include "preview/PreviewPrefetch.h"

#include "platform/files/FolderBatch.h"
#include "platform/runtime/BusyHook.h"
#include "platform/runtime/CallClock.h"
#include "platform/runtime/Error.h"
#include "preview/PreviewLoader.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace preview {

namespace {

// How often a wait for a note lets the busy pointer show.
constexpr std::chrono::milliseconds BusyTick {50};

using Clock = platform::CallClock::Clock;

// Where a note stands. Its reader moves it from Reading to Read or Threw, unless the caller
// has given it up first; whichever of the two changes it first decides.
enum Slot : unsigned char {
    Waiting, // no reader has it yet
    Reading,
    Read,
    Threw, // the loader threw; the caller of Take gets that
    GivenUp, // its reader took too long in one call; the note gets the failure text
};

// Readers given up and not yet returned, in the whole program. A trivially destroyed atomic, so
// that a reader returning while the program exits still finds it.
std::atomic<int> givenUpReaders {0};

QString LoadWithThePreviewRule(const QString& pathName, std::int32_t linesPerItem)
{
    return PreviewLoader::Load(pathName, linesPerItem);
}

} // namespace

struct PreviewPrefetch::Shared {
    struct Reader {
        platform::CallClock clock;
        std::atomic<qsizetype> note {-1}; // the note it has or had last
        bool givenUp {false}; // the caller's alone
    };

    Shared(const QString& folderPrefix, const QStringList& noteNames, std::int32_t lines, Loader loader,
        std::chrono::milliseconds patience)
        : prefix(folderPrefix)
        , names(noteNames)
        , linesPerItem(lines)
        , load(std::move(loader))
        , deadline(patience)
        , slots(std::make_unique<std::atomic<unsigned char>[]>(static_cast<std::size_t>(names.size())))
        , texts(static_cast<std::size_t>(names.size()))
        , errors(static_cast<std::size_t>(names.size()))
    {
    }

    void Run(int reader);
    bool Pending(qsizetype index) const
    {
        const unsigned char state = slots[index].load();
        return state == Waiting || state == Reading;
    }

    const QString prefix;
    const QStringList names;
    const std::int32_t linesPerItem;
    const Loader load;
    const std::chrono::milliseconds deadline;

    std::unique_ptr<std::atomic<unsigned char>[]> slots;
    std::vector<QString> texts;
    std::vector<std::exception_ptr> errors;
    std::atomic<qsizetype> next {0};
    std::atomic<bool> stopping {false};

    // Room for the most readers a pool has; the first readerCount are started. The counts are
    // the caller's alone.
    std::unique_ptr<Reader[]> readers {std::make_unique<Reader[]>(MaxReaders)};
    int readerCount {0};
    int live {0}; // readers not given up
    int lateNotes {0}; // notes the caller had to wait for
    qsizetype lastLate {-1};

    // The caller sleeps here while the note it waits for (awaited) is being read.
    std::mutex mutex;
    std::condition_variable arrived;
    std::atomic<qsizetype> awaited {-1};
};

void PreviewPrefetch::Shared::Run(int reader)
{
    Reader& self = readers[reader];
    const platform::CallClock::Installed installed(self.clock);
    // Each reader opens the notes relative to the folder on its own handle, opened with its
    // first note and timed with it: a folder that does not answer holds up its open too.
    std::optional<platform::FolderBatch> batch;
    while (!stopping.load()) {
        const qsizetype index = next.fetch_add(1);
        if (index >= names.size())
            return;
        self.note.store(index);
        slots[index].store(Reading);
        QString text;
        std::exception_ptr error;
        // A pool being stopped may already have counted this reader as given up; it then
        // loads nothing more.
        if (!stopping.load()) {
            try {
                // The folder's open times itself; it must come before the note's own timing,
                // whose end it would otherwise be taken for.
                if (!batch)
                    batch.emplace(prefix);
                // Until the note's first file call, the note is timed as one call; each call
                // of the text input then times itself.
                const platform::CallClock::Call call;
                text = load(prefix + names[index], linesPerItem);
            } catch (...) {
                error = std::current_exception();
            }
        }
        texts[index] = std::move(text);
        errors[index] = error;
        unsigned char expected = Reading;
        if (!slots[index].compare_exchange_strong(expected, error ? Threw : Read)) {
            // Given up while it was reading: nobody looks at what it read, and it has done its
            // part of the bound.
            givenUpReaders.fetch_sub(1);
            return;
        }
        if (awaited.load() == index) {
            const std::lock_guard lock(mutex);
            arrived.notify_one();
        }
    }
}

PreviewPrefetch::PreviewPrefetch(const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem)
    : PreviewPrefetch(folderPrefix, names, linesPerItem, LoadWithThePreviewRule, CallDeadline)
{
}

PreviewPrefetch::PreviewPrefetch(const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem,
    Loader load, std::chrono::milliseconds deadline)
    : m_shared(std::make_shared<Shared>(folderPrefix, names, linesPerItem, std::move(load), deadline))
{
    AddReaders(Readers);
}

// Starts readers until the pool has target of them, no more than it has notes left to read,
// and only as many as the bound on given-up readers leaves room for.
void PreviewPrefetch::AddReaders(int target)
{
    Shared& shared = *m_shared;
    const qsizetype room = std::max(0, MaxGivenUp - givenUpReaders.load());
    const qsizetype unread = std::max<qsizetype>(0, shared.names.size() - shared.next.load());
    const auto wanted = static_cast<int>(std::min({qsizetype(target - shared.readerCount), unread, room}));
    for (int started = 0; started < wanted; ++started) {
        const int reader = shared.readerCount;
        try {
            std::thread([owner = m_shared, reader] { owner->Run(reader); }).detach();
        } catch (const std::system_error&) {
            break; // the readers started so far do the work
        }
        ++shared.readerCount;
        ++shared.live;
    }
}

// Counts the notes the caller had to wait for, and grows the pool once there are enough of
// them, unless a reader has been given up: then the folder has stopped answering, and more
// readers would only get stuck too.
void PreviewPrefetch::NoteLate(qsizetype index)
{
    Shared& shared = *m_shared;
    if (index == shared.lastLate)
        return;
    shared.lastLate = index;
    if (++shared.lateNotes == GrowAfterLateNotes && shared.live == shared.readerCount)
        AddReaders(MaxReaders);
}

PreviewPrefetch::~PreviewPrefetch()
{
    // A reader still in a note counts as given up until it returns, so that readers left
    // blocked by a rebuild that ended early stay within the bound too.
    Shared& shared = *m_shared;
    shared.stopping.store(true);
    for (int reader = 0; reader < shared.readerCount; ++reader) {
        const qsizetype note = shared.readers[reader].note.load();
        unsigned char expected = Reading;
        if (!shared.readers[reader].givenUp && note >= 0
            && shared.slots[note].compare_exchange_strong(expected, GivenUp))
            givenUpReaders.fetch_add(1);
    }
}

QString PreviewPrefetch::Take(qsizetype index)
{
    Shared& shared = *m_shared;
    if (index < 0 || index >= shared.names.size())
        throw platform::Error(platform::ErrorCode::InvalidProcedureCall);
    for (;;) {
        platform::BusyHook::Tick();
        switch (shared.slots[index].load()) {
        case Read:
            return std::move(shared.texts[static_cast<std::size_t>(index)]);
        case Threw:
            std::rethrow_exception(shared.errors[static_cast<std::size_t>(index)]);
        case GivenUp:
            return GiveUp(index);
        default:
            break;
        }
        // Every reader given up: the folder has stopped answering, and nobody is left to read
        // the note anyway.
        if (shared.live == 0)
            return GiveUp(index);
        if (GiveUpOverdueReaders())
            continue;
        NoteLate(index);
        WaitForProgress(index);
    }
}

QString PreviewPrefetch::GiveUp(qsizetype index) const
{
    return PreviewLoader::FailureText(m_shared->prefix + m_shared->names[index]);
}

// Gives up every reader that has sat in one call for longer than the deadline, whichever note
// it has; returns whether it gave up any.
bool PreviewPrefetch::GiveUpOverdueReaders()
{
    Shared& shared = *m_shared;
    const Clock::time_point now = Clock::now();
    bool gaveUp = false;
    for (int reader = 0; reader < shared.readerCount; ++reader) {
        Shared::Reader& candidate = shared.readers[reader];
        // The note first, then the clock: the clock cannot then show a call of an earlier note,
        // and a later note's call fails the exchange below, since the note read is done.
        const qsizetype note = candidate.note.load();
        const std::optional<Clock::duration> inCall = candidate.clock.InCallFor(now);
        if (candidate.givenUp || note < 0 || !inCall || *inCall < shared.deadline)
            continue;
        unsigned char expected = Reading;
        if (!shared.slots[note].compare_exchange_strong(expected, GivenUp))
            continue;
        candidate.givenUp = true;
        --shared.live;
        givenUpReaders.fetch_add(1);
        gaveUp = true;
    }
    return gaveUp;
}

// Sleeps until the note arrives or the oldest call now running reaches the deadline. A call
// that starts later is looked at again within one deadline, so the wait is never endless.
void PreviewPrefetch::WaitForProgress(qsizetype index)
{
    Shared& shared = *m_shared;
    const Clock::time_point now = Clock::now();
    // Woken at least every tick, so that the busy pointer can show while the note is awaited.
    Clock::time_point until = now + std::min<Clock::duration>(shared.deadline, BusyTick);
    for (int reader = 0; reader < shared.readerCount; ++reader) {
        if (shared.readers[reader].givenUp)
            continue;
        if (const auto inCall = shared.readers[reader].clock.InCallFor(now))
            until = std::min(until, now - *inCall + shared.deadline);
    }
    std::unique_lock lock(shared.mutex);
    shared.awaited.store(index);
    if (shared.Pending(index))
        shared.arrived.wait_until(lock, until);
    shared.awaited.store(-1);
}

} // namespace preview
