#include "platform/files/InputBuffer.h"

#include <algorithm>
#include <cstring>

namespace platform {

InputBuffer::InputBuffer(const QString& path)
    : m_file(path)
{
    m_data = m_firstChunk.data();
    m_capacity = static_cast<std::size_t>(FirstChunk);
}

// One read a call. A note shorter than the chunk arrives whole with the first read, and when
// its preview's lines are all there no second read is made only to learn that it ended; when
// they are not, the caller reads again and a read that gets nothing ends the input, so that
// no caller can loop waiting for bytes that will not come.
void InputBuffer::ReadMore()
{
    if (m_ended)
        return;
    if (m_size == m_capacity)
        Grow();
    const std::size_t got = m_file.Read(m_data + m_size, m_capacity - m_size);
    m_size += got;
    if (got == 0 || m_size >= static_cast<std::size_t>(ByteLimit))
        m_ended = true;
}

void InputBuffer::Close()
{
    m_file.Close();
    m_ended = true;
}

// Every byte read stays in the buffer, so growing copies at most ByteLimit bytes in all.
void InputBuffer::Grow()
{
    const auto capacity = std::min(m_capacity * 2, static_cast<std::size_t>(ByteLimit));
    auto grown = std::make_unique_for_overwrite<char[]>(capacity + 1);
    std::memcpy(grown.get(), m_data, m_size);
    m_grown = std::move(grown);
    m_data = m_grown.get();
    m_capacity = capacity;
}

} // namespace platform
