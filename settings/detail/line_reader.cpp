// Whole-line reading over fread with a growing line buffer.
#include "settings/detail/line_reader.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace settings::detail {

LineReader::~LineReader()
{
    std::free(m_line);
}

bool LineReader::refill()
{
    if (m_done)
        return false;
    m_pos = 0;
    m_end = std::fread(m_chunk, 1, sizeof m_chunk, m_file);
    if (m_end == 0) {
        m_done = true;
        m_failed = std::ferror(m_file) != 0;
        return false;
    }
    return true;
}

void LineReader::append(const char* bytes, std::size_t count)
{
    if (m_size + count + 1 > m_capacity) {
        std::size_t capacity = m_capacity == 0 ? 256 : m_capacity;
        while (capacity < m_size + count + 1)
            capacity *= 2;
        // realloc lets large buffers grow by remapping instead of copying.
        void* grown = std::realloc(m_line, capacity);
        if (grown == nullptr)
            throw std::bad_alloc();
        m_line = static_cast<char*>(grown);
        m_capacity = capacity;
    }
    std::memcpy(m_line + m_size, bytes, count);
    m_size += count;
}

bool LineReader::next()
{
    m_size = 0;
    append("", 0);
    bool any = false;
    bool cutAtNul = false;
    for (;;) {
        if (m_pos == m_end && !refill()) {
            if (!any || m_failed)
                return false;
            break;
        }
        any = true;
        const char* start = m_chunk + m_pos;
        const std::size_t available = m_end - m_pos;
        const char* lineFeed = static_cast<const char*>(std::memchr(start, '\n', available));
        const std::size_t length = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - start) : available;
        if (!cutAtNul) {
            const char* nul = static_cast<const char*>(std::memchr(start, '\0', length));
            append(start, nul != nullptr ? static_cast<std::size_t>(nul - start) : length);
            cutAtNul = nul != nullptr;
        }
        m_pos += length;
        if (lineFeed != nullptr) {
            ++m_pos;
            // Without a NUL in the line, the last byte kept is the one directly before the LF.
            if (!cutAtNul && m_size > 0 && m_line[m_size - 1] == '\r')
                --m_size;
            break;
        }
    }
    m_line[m_size] = '\0';
    return true;
}

} // namespace settings::detail
