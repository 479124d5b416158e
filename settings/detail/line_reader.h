// Splits a C stream into whole lines of any length, as text-mode reading would see them.
#pragma once

#include <cstddef>
#include <cstdio>

namespace settings::detail {

// A line's text is what precedes its line feed, cut at its first NUL as a C string would be;
// a carriage return directly before the line feed belongs to the line end. A last line without
// a line feed is a line too. A read error ends reading like the end of the stream and drops the
// line it interrupted, as fgets does.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : m_file(file) {}
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Moves to the next line; false when there is none.
    bool next();

    // The current line's text, NUL-terminated, size() bytes; the caller may change it in place.
    char* text() { return m_line; }
    std::size_t size() const { return m_size; }

private:
    bool refill();
    void append(const char* bytes, std::size_t count);

    std::FILE* m_file;
    // Only the text before a NUL is kept, so a binary file costs memory for its longest run of
    // non-NUL bytes between line feeds, never more than its size.
    char* m_line = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    char m_chunk[16384];
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_done = false;
    bool m_failed = false;
};

} // namespace settings::detail
