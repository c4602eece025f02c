#include "platform/hang/StuckLedger.h"

#include "platform/hang/MountTable.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace platform {

namespace {

using Listener = std::shared_ptr<std::function<void()>>;

// Never destroyed: a call may return while the program exits.
struct Ledger {
    std::mutex mutex;
    QHash<QString, int> outOnDrive;
    QHash<QString, int> outAtPlace;
    std::atomic<int> out {0}; // changed with the lock held

    QHash<QString, QList<Listener>> waiting;
};

Ledger& ledger()
{
    static auto* const state = new Ledger;
    return *state;
}

int roomLocked(const Ledger& book, const QString& drive)
{
    return std::max(
        0, std::min(StuckLedger::PerDrive - book.outOnDrive.value(drive), StuckLedger::InProgram - book.out.load()));
}

void count(QHash<QString, int>& counts, const QString& key, int change)
{
    if ((counts[key] += change) <= 0)
        counts.remove(key);
}

} // namespace

Charge Charge::To(const QString& path)
{
    return {MountTable::MountPointOf(path), path};
}

bool StuckLedger::Admits(const Charge& charge)
{
    Ledger& book = ledger();
    const std::lock_guard lock(book.mutex);
    return !book.outAtPlace.contains(charge.place) && roomLocked(book, charge.drive) > 0;
}

int StuckLedger::Room(const QString& drive)
{
    Ledger& book = ledger();
    const std::lock_guard lock(book.mutex);
    return roomLocked(book, drive);
}

bool StuckLedger::IsOut(const QString& place)
{
    Ledger& book = ledger();
    const std::lock_guard lock(book.mutex);
    return book.outAtPlace.contains(place);
}

int StuckLedger::OutOn(const QString& drive)
{
    Ledger& book = ledger();
    const std::lock_guard lock(book.mutex);
    return book.outOnDrive.value(drive);
}

int StuckLedger::Out()
{
    return ledger().out.load();
}

void StuckLedger::GaveUp(const Charge& charge)
{
    Ledger& book = ledger();
    const std::lock_guard lock(book.mutex);
    count(book.outOnDrive, charge.drive, 1);
    count(book.outAtPlace, charge.place, 1);
    ++book.out;
}

void StuckLedger::Returned(const Charge& charge)
{
    Ledger& book = ledger();
    QList<Listener> listeners;
    {
        const std::lock_guard lock(book.mutex);
        count(book.outOnDrive, charge.drive, -1);
        count(book.outAtPlace, charge.place, -1);
        --book.out;
        listeners = book.waiting.value(charge.drive);
    }
    for (const Listener& listener : listeners)
        (*listener)();
}

StuckLedger::Waiting::Waiting(QString drive, std::function<void()> listener)
    : m_drive(std::move(drive))
    , m_listener(std::make_shared<std::function<void()>>(std::move(listener)))
{
    Ledger& book = ledger();
    const std::lock_guard lock(book.mutex);
    book.waiting[m_drive].append(m_listener);
}

StuckLedger::Waiting::~Waiting()
{
    Ledger& book = ledger();
    const std::lock_guard lock(book.mutex);
    QList<Listener>& listeners = book.waiting[m_drive];
    listeners.removeOne(m_listener);
    if (listeners.isEmpty())
        book.waiting.remove(m_drive);
}

} // namespace platform
