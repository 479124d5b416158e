// Splits a C stream, or text in memory, into whole lines, as text-mode reading would see them,
// within fixed bounds.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace settings::detail {

// A line's text is what precedes its line feed, cut at its first NUL as a C string would be;
// a carriage return directly before the line feed belongs to the line end. A last line without
// a line feed is a line too. A read error ends reading like the end of the stream and drops the
// line it interrupted, as fgets does.
//
// Two bounds keep a hostile stream (an endless device, a line of gigabytes) from costing more
// than a moment and a little memory: a line whose text is longer than maxLine bytes is skipped
// whole, never cut into a shorter one, and reading stops after maxTotal bytes as if the stream
// failed there, dropping the line it interrupted.
class LineReader {
public:
    static constexpr std::size_t DefaultMaxLine = 128 * 1024;
    static constexpr std::size_t DefaultMaxTotal = 8 * 1024 * 1024;

    explicit LineReader(std::FILE* file, std::size_t maxLine = DefaultMaxLine, std::size_t maxTotal = DefaultMaxTotal);
    // The same lines from text the caller keeps alive while reading, as if a file held it.
    explicit LineReader(std::string_view text, std::size_t maxLine = DefaultMaxLine,
                        std::size_t maxTotal = DefaultMaxTotal);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Moves to the next line; false when there is none.
    bool next();

    // The current line's text, NUL-terminated, size() bytes; the caller may change it in place.
    char* text() { return m_line; }
    std::size_t size() const { return m_size; }
    // The current line's number, from 1; skipped overlong lines count too.
    std::size_t number() const { return m_number; }

private:
    bool refill();
    void reserve(std::size_t capacity);
    void append(const char* bytes, std::size_t count);

    std::FILE* m_file = nullptr; // none when reading from m_text
    std::string_view m_text;
    std::size_t m_maxLine;
    std::size_t m_budget; // bytes the stream may still yield
    // At most the longest kept text, a CR that may turn out to belong to the line end, and the
    // terminating NUL.
    char* m_line = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    bool m_overlong = false;
    std::size_t m_number = 0;
    char m_chunk[16384];
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_done = false;
    bool m_failed = false;
};

} // namespace settings::detail
