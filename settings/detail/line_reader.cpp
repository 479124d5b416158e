// Whole-line reading over fread (or a copy from memory) into a line buffer that grows up to the
// line bound.
#include "settings/detail/line_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace settings::detail {

LineReader::LineReader(std::FILE* file, std::size_t maxLine, std::size_t maxTotal)
    : m_file(file), m_maxLine(maxLine), m_budget(maxTotal)
{
    reserve(1);
}

LineReader::LineReader(std::string_view text, std::size_t maxLine, std::size_t maxTotal)
    : m_text(text), m_maxLine(maxLine), m_budget(maxTotal)
{
    reserve(1);
}

LineReader::~LineReader() { std::free(m_line); }

bool LineReader::refill()
{
    if (m_done)
        return false;
    m_pos = 0;
    const std::size_t wanted = std::min(sizeof m_chunk, m_budget);
    if (m_file != nullptr) {
        m_end = wanted == 0 ? 0 : std::fread(m_chunk, 1, wanted, m_file);
    } else {
        m_end = std::min(wanted, m_text.size());
        if (m_end > 0)
            std::memcpy(m_chunk, m_text.data(), m_end);
        m_text.remove_prefix(m_end);
    }
    m_budget -= m_end;
    if (m_end == 0) {
        m_done = true;
        // Running out of budget counts as a failure: the stream may well go on.
        m_failed = m_budget == 0 || (m_file != nullptr && std::ferror(m_file) != 0);
        return false;
    }
    return true;
}

void LineReader::reserve(std::size_t capacity)
{
    if (capacity <= m_capacity)
        return;
    // Grown as lines need it, so that an ordinary file costs a few hundred bytes.
    std::size_t grown = m_capacity == 0 ? 256 : m_capacity;
    while (grown < capacity)
        grown *= 2;
    void* line = std::realloc(m_line, grown);
    if (line == nullptr)
        throw std::bad_alloc();
    m_line = static_cast<char*>(line);
    m_capacity = grown;
}

void LineReader::append(const char* bytes, std::size_t count)
{
    // One byte beyond the bound is kept: it may be the CR of a CR LF.
    if (m_overlong || count > m_maxLine + 1 - m_size) {
        m_overlong = true;
        return;
    }
    reserve(m_size + count + 1);
    std::memcpy(m_line + m_size, bytes, count);
    m_size += count;
}

bool LineReader::next()
{
    for (;;) {
        m_size = 0;
        m_overlong = false;
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
                if (!cutAtNul && !m_overlong && m_size > 0 && m_line[m_size - 1] == '\r')
                    --m_size;
                break;
            }
        }
        ++m_number;
        if (!m_overlong && m_size <= m_maxLine) {
            m_line[m_size] = '\0';
            return true;
        }
    }
}

} // namespace settings::detail
