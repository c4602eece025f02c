#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Opens the files of one folder relative to it while the batch lives.
//
// Opening a file by its full path makes the system walk every folder of the path again, and
// in a folder a few levels deep that walk is most of what an open costs. A rebuild of the
// previews opens every note of one folder in a row, so while a batch is in effect on a thread,
// ReadOnlyFile opens a path that is the batch's folder followed by a bare name relative to
// the folder, which was opened once when the batch began. Any other path opens as before.
//
// A batch is meant to be short, one pass over a listing. Should the folder be renamed or
// replaced during it, the rest of the pass still reads the folder that was opened, the one
// whose listing the pass works from, rather than a mixture of two folders. If the folder
// cannot be opened, the batch does nothing and every path is opened in full.
class FolderBatch {
public:
    // folder is a folder prefix as the previews use it: the folder's path with one
    // separator at its end.
    explicit FolderBatch(const QString& folder);
    ~FolderBatch();
    FolderBatch(const FolderBatch&) = delete;
    FolderBatch& operator=(const FolderBatch&) = delete;

    // The innermost batch in effect on this thread, or null.
    static const FolderBatch* Current();

    // The folder's descriptor, and in name the part of path after the folder, when path
    // names an entry directly in the folder; otherwise -1.
    int DescriptorFor(const char* path, const char*& name) const;

private:
    QByteArray m_prefix; // the folder's bytes, ending in '/'
    int m_descriptor {-1};
    const FolderBatch* m_outer {nullptr};
};

} // namespace platform
