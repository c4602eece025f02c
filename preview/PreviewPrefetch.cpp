#include "preview/PreviewPrefetch.h"

#include "platform/hang/WindowWait.h"
#include "platform/runtime/Error.h"
#include "preview/PrefetchPool.h"
#include "preview/PreviewLoader.h"

namespace preview {

namespace {

QString LoadWithThePreviewRule(const QString& pathName, std::int32_t linesPerItem)
{
    return PreviewLoader::Load(pathName, linesPerItem);
}

} // namespace

PreviewPrefetch::PreviewPrefetch(
    const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem, Late late)
    : PreviewPrefetch(folderPrefix, names, linesPerItem, LoadWithThePreviewRule, std::move(late))
{
}

PreviewPrefetch::PreviewPrefetch(
    const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem, Loader load, Late late)
    : m_pool(std::make_shared<PrefetchPool>(folderPrefix, names, linesPerItem, std::move(load), std::move(late)))
{
    m_waiting.emplace(m_pool->Drive(), [pool = std::weak_ptr<PrefetchPool>(m_pool)] {
        if (const std::shared_ptr<PrefetchPool> owner = pool.lock())
            owner->RoomReturned();
    });
    m_pool->Start();
}

PreviewPrefetch::~PreviewPrefetch()
{
    m_waiting.reset();
    m_pool->Stop();
}

QString PreviewPrefetch::Take(qsizetype index)
{
    PrefetchPool& pool = *m_pool;
    if (index < 0 || index >= pool.Count())
        throw platform::Error(platform::ErrorCode::InvalidProcedureCall);
    for (;;) {
        platform::WindowWait::Tick();
        switch (pool.State(index)) {
        case NoteState::Read:
            return pool.TakeText(index);
        case NoteState::Threw:
            pool.Claim(index, NoteState::Threw, NoteState::Taken);
            std::rethrow_exception(pool.Error(index));
        case NoteState::GivenUp:
            if (!pool.Claim(index, NoteState::GivenUp, NoteState::OwedReading))
                continue;
            pool.Owe();
            return pool.FailureText(index);
        case NoteState::Waiting:
            // No reader is left to read it: it is owed, and comes late if one comes back.
            if (pool.Live() > 0)
                break;
            if (!pool.Claim(index, NoteState::Waiting, NoteState::Owed))
                continue;
            pool.Owe();
            return pool.FailureText(index);
        case NoteState::Reading:
            break;
        default:
            return pool.FailureText(index);
        }
        if (pool.GiveUpOverdue())
            continue;
        pool.NoteLate(index);
        pool.WaitForProgress(index);
    }
}

QList<std::pair<qsizetype, QString>> PreviewPrefetch::TakeLate()
{
    return m_pool->TakeLate();
}

bool PreviewPrefetch::Owes() const
{
    return m_pool->Owes();
}

} // namespace preview
