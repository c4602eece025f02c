#pragma once

#include <QString>
#include <QStringList>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace preview {

// Reads the previews of a folder's files on a helper thread while the caller builds their
// boxes in order on its own.
//
// A rebuild spends most of its time in the system calls that open and read each note, and
// a second processor can make half of them. The caller walks the files from the first; the
// helper takes them from the last, and they meet in the middle. For each file the caller
// either receives the text the helper read (exactly what PreviewLoader::Load gives for the
// file) or learns that the file is its own to read, in which case the helper will not touch
// it. Small folders, and machines with one processor, get no helper: every file is the
// caller's.
class PreviewPrefetch {
public:
    // Files are folderPrefix + names[index]; linesPerItem as for PreviewLoader::Load.
    PreviewPrefetch(const QString& folderPrefix, const QStringList& names, std::int32_t linesPerItem);
    // Stops the helper after the file it is reading, and waits for it.
    ~PreviewPrefetch();
    PreviewPrefetch(const PreviewPrefetch&) = delete;
    PreviewPrefetch& operator=(const PreviewPrefetch&) = delete;

    // The preview of names[index] when the helper read it (waiting for it if the helper is
    // reading it now); nothing when the caller is to read the file itself. Indexes are to be
    // taken in ascending order.
    std::optional<QString> Take(qsizetype index);

    // Folders with fewer files than this are read by the caller alone: starting a thread
    // costs more than it saves there.
    static constexpr qsizetype MinimumForHelper = 256;

private:
    enum class Slot : unsigned char {
        Open, // nobody has it yet
        Reading, // the helper has it
        Read, // the helper's text is waiting
        Failed, // the helper could not read it; the caller does
    };

    void HelperLoop();

    const QString m_folderPrefix;
    const QStringList m_names;
    const std::int32_t m_linesPerItem;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<QString> m_texts;
    std::vector<Slot> m_slots;
    qsizetype m_front {0}; // indexes below are the caller's
    qsizetype m_back {0}; // indexes from here on are the helper's
    bool m_stopping {false};
    std::thread m_helper;
};

} // namespace preview
