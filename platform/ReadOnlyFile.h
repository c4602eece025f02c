#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>

namespace platform {

// A regular file opened for reading through the system's own calls, nothing more.
//
// Opening never blocks and refuses whatever is not a regular file, so a pipe, socket or
// device put under a note's name fails at once instead of stalling the window. The text
// input reads through it; Qt's file classes would add buffering and allocation that a
// preview of a small note cannot afford.
class ReadOnlyFile {
public:
    // Throws Error: FileNotFound (53), PathNotFound (76) when a folder on the way is missing,
    // PathFileAccess (75) when access is denied or the path is not a regular file.
    explicit ReadOnlyFile(const QString& path);
    ~ReadOnlyFile();

    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // The size the file had when it was opened; 0 also for files that do not report one.
    qint64 Size() const { return m_size; }
    // Reads up to count bytes; 0 means the end of the file. Throws PathFileAccess (75) when
    // the system fails to read, or when the file was closed.
    std::size_t Read(char* into, std::size_t count);
    // Safe to call more than once.
    void Close();

private:
    int m_descriptor {-1};
    qint64 m_size {0};
};

} // namespace platform
