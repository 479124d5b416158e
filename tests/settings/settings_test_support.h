// Shared by the settings tests: recorded message boxes, scratch folders, file bytes, defaults.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/msgbox.h"
#include "settings/parameter_keys.h"
#include "settings/parameter_table.h"
#include "tests/support/setting_rows.h"

namespace settings_test {

// Records the texts of the message boxes shown while it lives.
class MessageLog {
public:
    MessageLog() { m_previous = fw::SetMessageBoxSink({&MessageLog::record, this}); }
    ~MessageLog() { fw::SetMessageBoxSink(m_previous); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<std::string> texts;

private:
    static int record(void* context, const char* text, const char*, UINT)
    {
        static_cast<MessageLog*>(context)->texts.emplace_back(text);
        return IDOK;
    }
    fw::MessageBoxSink m_previous;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const char* name) const { return (m_path / name).string(); }
    // Names in the folder, sorted, so that a stray temporary file shows up in a comparison.
    std::vector<std::string> names() const;

private:
    std::filesystem::path m_path;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

inline std::uint32_t bitsOf(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The 38 defaults as writer input; String entries point at the constant default texts.
std::array<ParameterEntry, ParameterTable::EntryCount> defaultValues();

// Writer input that differs from the defaults in one value per type, by variant.
struct SampleValues {
    explicit SampleValues(int variant);
    SampleValues(const SampleValues&) = delete;
    SampleValues& operator=(const SampleValues&) = delete;
    std::array<ParameterEntry, ParameterTable::EntryCount> values;
    char mapName[32];
};

// The file text the writer makes of SampleValues(variant).
std::string sampleSettingsText(int variant);

} // namespace settings_test

namespace settings_test {

// Switches the process to a locale whose decimal point is a comma (built with localedef into
// dir), restoring the "C" locale when destroyed. active() is false where that is not possible.
class CommaDecimalLocale {
public:
    explicit CommaDecimalLocale(const ScratchDir& dir);
    ~CommaDecimalLocale();
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;
    bool active() const { return m_active; }

private:
    bool m_active = false;
};

} // namespace settings_test
