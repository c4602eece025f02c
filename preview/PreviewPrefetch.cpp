#include "preview/PreviewPrefetch.h"

#include "platform/files/FolderBatch.h"
#include "preview/PreviewLoader.h"

namespace preview {

PreviewPrefetch::PreviewPrefetch(const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem)
    : m_folderPrefix(folderPrefix)
    , m_names(names)
    , m_linesPerItem(linesPerItem)
{
    if (m_names.size() < MinimumForHelper || std::thread::hardware_concurrency() < 2)
        return;
    m_texts.resize(static_cast<std::size_t>(m_names.size()));
    m_slots.assign(static_cast<std::size_t>(m_names.size()), Slot::Open);
    m_back = m_names.size();
    try {
        m_helper = std::thread(&PreviewPrefetch::HelperLoop, this);
    } catch (const std::system_error&) {
        // No thread to be had: the caller reads everything, as on a single processor.
        m_slots.clear();
    }
}

PreviewPrefetch::~PreviewPrefetch()
{
    if (!m_helper.joinable())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_helper.join();
}

std::optional<QString> PreviewPrefetch::Take(qsizetype index)
{
    if (!m_helper.joinable() || index < 0 || index >= m_names.size())
        return std::nullopt;
    std::unique_lock lock(m_mutex);
    const auto at = static_cast<std::size_t>(index);
    if (index < m_back) {
        // Not taken by the helper: the caller's, and the helper never goes below it.
        m_front = index + 1;
        return std::nullopt;
    }
    m_changed.wait(lock, [&] { return m_slots[at] == Slot::Read || m_slots[at] == Slot::Failed; });
    if (m_slots[at] == Slot::Failed)
        return std::nullopt;
    return std::move(m_texts[at]);
}

void PreviewPrefetch::HelperLoop()
{
    // The helper opens its files relative to the folder too; a batch belongs to one thread.
    const platform::FolderBatch batch(m_folderPrefix);
    for (;;) {
        std::size_t at = 0;
        {
            const std::lock_guard lock(m_mutex);
            if (m_stopping || m_back <= m_front)
                return;
            at = static_cast<std::size_t>(--m_back);
            m_slots[at] = Slot::Reading;
        }
        Slot outcome = Slot::Read;
        QString text;
        try {
            text = PreviewLoader::Load(m_folderPrefix + m_names[static_cast<qsizetype>(at)], m_linesPerItem);
        } catch (...) {
            // Load turns every failure of the file into text; what is left (memory running
            // out) must not end the program from this thread. The caller reads this file.
            outcome = Slot::Failed;
        }
        {
            const std::lock_guard lock(m_mutex);
            m_texts[at] = std::move(text);
            m_slots[at] = outcome;
        }
        m_changed.notify_one();
    }
}

} // namespace preview
