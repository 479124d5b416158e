// The store of the engine's 38 named, typed settings, and its reader for terrain.ini.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string_view>

// Tag of an entry; one byte so that an entry stays as small as its value allows.
enum class ParameterType : std::uint8_t {
    Int = 0,
    Float = 1,
    String = 2,
};

// Which member is valid is said by the entry's type. On a 64-bit build the union is as wide as
// the pointer; the Int and Float members occupy its first 32 bits.
union ParameterValue {
    std::int32_t intValue;
    float floatValue;
    char* stringValue;
};

struct ParameterEntry {
    ParameterType type;
    ParameterValue value;
};

// Told about every setting line as the reader takes it, before its value is stored: the line's
// number (from 1), its key and value text as the reader sees them, spaces removed, and the line's
// text as the file holds it (without its line end). A message the reader shows about that line
// follows the call.
using SettingLineObserver =
    std::function<void(std::size_t line, const char* key, const char* value, const char* lineText)>;

// What the reader says of a setting line whose key no entry has. It says so for the first few
// such lines of a reading only; an observer sees every one.
inline constexpr const char* kUnknownParameterMessage = "unknown parameter type encountered";

class ParameterTable {
public:
    static constexpr int EntryCount = 38;
    // Deliberately not -1: callers compare against exactly this value.
    static constexpr int NotFound = 65535;

    ParameterTable() = default;
    ~ParameterTable();
    ParameterTable(const ParameterTable&) = delete;
    ParameterTable& operator=(const ParameterTable&) = delete;

    // Gives the table its 38 entries with the built-in defaults. Whatever the table held before
    // is released first, so a second call does not leak.
    void buildDefaults();

    // Index of the entry whose key equals name exactly (case-sensitive), or NotFound.
    std::int32_t findIndex(const char* name) const;

    // Stores value in the entry named name: 0 when stored, -1 when the name is unknown or type
    // is not the entry's own (the table is then unchanged). A String value is copied; the
    // caller's text is only read, and may even be the entry's own current text.
    std::int32_t setValue(const char* name, ParameterType type, ParameterValue value);

    // The entry's value unchanged, or, for an index outside the table, a value whose bits are
    // all set (intValue -1, floatValue a NaN).
    ParameterValue valueAt(std::int32_t index) const;

    // Frees everything the table owns. Harmless on an empty or already released table.
    void release();

    // Builds the defaults, then overlays the settings the file at path holds. False when the file
    // cannot be opened (the defaults then stand); messages only for setting lines the table
    // cannot take. Nothing waits: a FIFO without a writer reads as empty.
    bool load(const char* path, const SettingLineObserver& observer = {});

    // Overlays the settings of an open stream onto the current values, line by line, to its end
    // or its first read error, within the line reader's bounds (lines beyond 128 KiB skipped,
    // at most 8 MiB read). A UTF-8 byte-order mark that opens the stream is skipped. load() is
    // buildDefaults() plus this on the opened file.
    void readFrom(std::FILE* file, const SettingLineObserver& observer = {});

    // The same for text in memory, read as if a file held exactly these bytes.
    void readText(std::string_view text, const SettingLineObserver& observer = {});

    std::int32_t count() const { return m_count; }
    const ParameterEntry* entries() const { return m_entries; }
    const char* const* names() const { return m_names; }

private:
    ParameterEntry* m_entries = nullptr;
    const char** m_names = nullptr;
    std::int32_t m_count = 0;
};
