// Helpers shared by the settings tests.
#include "settings_test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <cstdio>
#include <stdexcept>

#include <stdlib.h>

#include "settings/settings_file.h"

namespace settings_test {

ScratchDir::ScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "sandrel-settings-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

ScratchDir::~ScratchDir()
{
    // Tests make folders read-only; give the owner back the right to empty them.
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, error);
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(m_path, error);
}

std::vector<std::string> ScratchDir::names() const
{
    std::vector<std::string> result;
    for (const auto& entry : std::filesystem::directory_iterator(m_path))
        result.push_back(entry.path().filename().string());
    std::sort(result.begin(), result.end());
    return result;
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::array<ParameterEntry, ParameterTable::EntryCount> defaultValues()
{
    std::array<ParameterEntry, ParameterTable::EntryCount> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ParameterInfo& info = kParameters[i];
        values[i].type = info.type;
        switch (info.type) {
        case ParameterType::Int: values[i].value.intValue = info.intDefault; break;
        case ParameterType::Float: values[i].value.floatValue = info.floatDefault; break;
        case ParameterType::String: values[i].value.stringValue = const_cast<char*>(info.textDefault); break;
        }
    }
    return values;
}

SampleValues::SampleValues(int variant) : values(defaultValues())
{
    std::snprintf(mapName, sizeof mapName, "map%d.bmp", variant);
    values[RowOf("WIDTH")].value.intValue = 640 + variant;
    values[RowOf("TRANS_SPEED")].value.floatValue = 2.5f + static_cast<float>(variant);
    values[RowOf("MAP_NAME")].value.stringValue = mapName;
}

std::string sampleSettingsText(int variant)
{
    SampleValues sample(variant);
    std::string text;
    formatSettingsValues(sample.values, text);
    return text;
}

} // namespace settings_test

#include <clocale>
#include <cstdio>

namespace settings_test {

CommaDecimalLocale::CommaDecimalLocale(const ScratchDir& dir)
{
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr && std::setlocale(LC_NUMERIC, "de_DE") == nullptr) {
        const std::string target = dir.file("de_DE");
        const std::string command = "localedef -i de_DE -f ISO-8859-1 '" + target + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == -1)
            return;
        setenv("LOCPATH", dir.path().c_str(), 1);
        if (std::setlocale(LC_NUMERIC, "de_DE") == nullptr)
            return;
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    m_active = std::string(probe) == "1,5";
}

CommaDecimalLocale::~CommaDecimalLocale()
{
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
}

} // namespace settings_test
