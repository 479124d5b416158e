// Reading terrain.ini into the parameter table: a lenient line grammar that skips what it cannot
// use and speaks up only for setting lines the table cannot take.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "framework/core/msgbox.h"
#include "framework/core/program_names.h"
#include "settings/detail/c_numbers.h"
#include "settings/detail/line_reader.h"
#include "settings/parameter_keys.h"
#include "settings/parameter_table.h"

namespace {

constexpr const char* kInsertFailed = "error inserting parameter";

// Each message is a modal box the user has to close. A file with more bad lines than a person
// writes by hand (thousands of them fit in the bytes the reader takes) would keep the sheet
// from ever opening, so one reading shows this many at most.
constexpr int kMaxMessages = 10;

class Messages {
public:
    void show(const char* text)
    {
        if (m_shown < kMaxMessages) {
            ++m_shown;
            AfxMessageBox(text);
        }
    }

private:
    int m_shown = 0;
};

// Applies one line's text, changing it in place. Spaces vanish wherever they stand, a first
// remaining '#' makes a comment, the key ends at the first '=' and the value starts after the
// last one.
void applyLine(ParameterTable& table, char* text, std::size_t lineNumber, const SettingLineObserver& observer,
               Messages& messages)
{
    // Only an observer is shown the line as it stood.
    const std::string lineText = observer ? std::string(text) : std::string();
    constexpr std::size_t noValue = static_cast<std::size_t>(-1);
    std::size_t valueStart = noValue;
    std::size_t kept = 0;
    for (const char* read = text; *read != '\0'; ++read) {
        const char c = *read;
        if (c == ' ' || c == '\n')
            continue;
        if (c == '#' && kept == 0)
            return;
        if (c == '=') {
            text[kept++] = '\0';
            valueStart = kept;
            continue;
        }
        text[kept++] = c;
    }
    text[kept] = '\0';
    if (valueStart == noValue)
        return;

    const char* key = text;
    char* valueText = text + valueStart;
    if (observer)
        observer(lineNumber, key, valueText, lineText.c_str());
    const std::int32_t index = table.findIndex(key);
    if (index == ParameterTable::NotFound) {
        messages.show(kUnknownParameterMessage);
        return;
    }
    const ParameterType type = table.entries()[index].type;
    ParameterValue value;
    // A file name is in the engine's code page in the file and UTF-8 on this side.
    std::string fileName;
    switch (type) {
    case ParameterType::Int: value.intValue = settings::detail::parseIntClamped(valueText); break;
    case ParameterType::Float: value.floatValue = settings::detail::parseFloatClamped(valueText); break;
    case ParameterType::String:
        value.stringValue = valueText;
        if (std::find(kFileNameRows.begin(), kFileNameRows.end(), static_cast<std::size_t>(index)) !=
            kFileNameRows.end()) {
            fileName = fw::FromProgramText(valueText);
            value.stringValue = fileName.data();
        }
        break;
    default: messages.show(kUnknownParameterMessage); return;
    }
    if (table.setValue(key, type, value) == -1)
        messages.show(kInsertFailed);
}

// Opens terrain.ini for reading, in binary mode on every platform: the line reader itself treats
// CR LF as a line end.
std::FILE* openSettings(const char* path)
{
#ifdef _WIN32
    return std::fopen(path, "rb");
#else
    // Without blocking: opening a FIFO would otherwise wait for a writer, and reading one (or a
    // terminal) for data. A FIFO without a writer reads as empty; data that is not there yet
    // ends the file like a read error.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr)
        ::close(fd);
    return file;
#endif
}

} // namespace

bool ParameterTable::load(const char* path, const SettingLineObserver& observer)
{
    buildDefaults();
    std::FILE* file = path != nullptr ? openSettings(path) : nullptr;
    if (file == nullptr)
        return false;
    readFrom(file, observer);
    std::fclose(file);
    return true;
}

namespace {

// An editor that saves UTF-8 may put a byte-order mark first: it belongs to no key.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

void readLines(ParameterTable& table, settings::detail::LineReader& lines, const SettingLineObserver& observer)
{
    Messages messages;
    while (lines.next()) {
        char* text = lines.text();
        if (lines.number() == 1 && std::strncmp(text, kByteOrderMark, sizeof kByteOrderMark - 1) == 0)
            text += sizeof kByteOrderMark - 1;
        applyLine(table, text, lines.number(), observer, messages);
    }
}

} // namespace

void ParameterTable::readFrom(std::FILE* file, const SettingLineObserver& observer)
{
    settings::detail::LineReader lines(file);
    readLines(*this, lines, observer);
}

void ParameterTable::readText(std::string_view text, const SettingLineObserver& observer)
{
    settings::detail::LineReader lines(text);
    readLines(*this, lines, observer);
}
