#pragma once

#include "platform/files/ReadOnlyFile.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <memory>

namespace platform {

// The bytes of one file read so far, from its start, up to a bound that acts as the end of
// the file. Small files never touch the heap for their bytes; a longer one grows the buffer
// by doubling, so a long line costs a handful of reads rather than one per chunk.
class InputBuffer {
public:
    // At most this many bytes of one file are read; they act as the whole file.
    static constexpr qint64 ByteLimit = 64 * 1024;
    // The first read asks for this much, enough for the previews of ordinary notes.
    static constexpr qint64 FirstChunk = 4 * 1024;

    // Throws like ReadOnlyFile.
    explicit InputBuffer(const QString& path);

    InputBuffer(const InputBuffer&) = delete;
    InputBuffer& operator=(const InputBuffer&) = delete;

    // Reads once more, unless the input has ended. Throws like ReadOnlyFile::Read.
    void ReadMore();
    // Releases the file and ends the input; the bytes read stay.
    void Close();

    bool Ended() const { return m_ended; }
    std::size_t Size() const { return m_size; }
    // One spare byte past Size() may be written: a decoder can be shown a line end there.
    char* Data() { return m_data; }
    const char* Data() const { return m_data; }

private:
    void Grow();

    ReadOnlyFile m_file;
    char* m_data {nullptr};
    std::size_t m_capacity {0};
    std::size_t m_size {0};
    bool m_ended {false}; // the file ended, or ByteLimit was reached, or it was closed
    std::unique_ptr<char[]> m_grown;
    std::array<char, FirstChunk + 1> m_firstChunk;
};

} // namespace platform
