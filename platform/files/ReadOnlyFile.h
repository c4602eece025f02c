#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>

namespace platform {

// A regular file opened for reading through the system's own calls, nothing more.
//
// Neither opening nor reading ever blocks, and whatever is not a regular file is refused at
// the latest by the first read whose result it could have given (see RefuseUnlessRegular), so
// a pipe, socket or device put under a note's name fails instead of stalling the window. The text
// input reads through it; Qt's file classes would add buffering and allocation that a
// preview of a small note cannot afford.
class ReadOnlyFile {
public:
    // Throws Error: FileNotFound (53), PathNotFound (76) when a folder on the way is missing,
    // PathFileAccess (75) when access is denied or the path cannot be opened for reading.
    explicit ReadOnlyFile(const QString& path);
    ~ReadOnlyFile();

    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Reads up to count bytes; 0 means the end of the file. Throws PathFileAccess (75) when
    // the system fails to read, when the file was closed, or when what was opened turns out
    // not to be a regular file.
    std::size_t Read(char* into, std::size_t count);
    // Safe to call more than once.
    void Close();

private:
    // Only the first read can make the kind of file matter (see RefuseUnlessRegular).
    enum class Progress {
        NothingRead,
        Reading,
    };

    void RefuseUnlessRegular();

    int m_descriptor {-1};
    long long m_offset {0}; // where the next read starts
    Progress m_progress {Progress::NothingRead};
};

} // namespace platform
