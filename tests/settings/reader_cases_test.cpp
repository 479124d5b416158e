// The reader's grammar as golden cases: every NAME.expected in the data folder is one test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "settings/parameter_table.h"
#include "settings_test_support.h"

namespace {

namespace fs = std::filesystem;
using settings_test::bitsOf;

const fs::path kDataDir = SANDREL_SETTINGS_DATA_DIR;

struct Expectation {
    bool loads = true;
    std::map<int, std::string> values; // by table index, the raw text of the expected value
    std::vector<std::string> messages;
};

std::string unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char code = text[++i];
        if (code == 't')
            out += '\t';
        else if (code == 'r')
            out += '\r';
        else if (code == 'x' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else
            out += code;
    }
    return out;
}

Expectation readExpectation(const fs::path& file, const ParameterTable& keys)
{
    Expectation expected;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line == "load: false") {
            expected.loads = false;
        } else if (line.rfind("message: ", 0) == 0) {
            expected.messages.push_back(line.substr(9));
        } else {
            const std::size_t equals = line.find('=');
            const std::string key = line.substr(0, equals);
            const int index = equals == std::string::npos ? ParameterTable::NotFound : keys.findIndex(key.c_str());
            if (index == ParameterTable::NotFound)
                throw std::runtime_error(file.string() + ": bad line: " + line);
            expected.values[index] = line.substr(equals + 1);
        }
    }
    return expected;
}

std::vector<std::string> caseNames()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kDataDir)) {
        if (entry.path().extension() == ".expected")
            names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class SettingsReaderCase : public ::testing::TestWithParam<std::string> {};

TEST_P(SettingsReaderCase, MatchesItsExpectedOutcome)
{
#ifdef _WIN32
    if (GetParam() == "infinity" || GetParam() == "numeric_prefixes")
        GTEST_SKIP() << "glibc's strtod reads hexadecimal and inf; msvcrt's atof, like the engine's, reads neither";
#endif
    ParameterTable defaults;
    defaults.buildDefaults();
    const Expectation expected = readExpectation(kDataDir / (GetParam() + ".expected"), defaults);

    settings_test::MessageLog messages;
    ParameterTable table;
    EXPECT_EQ(table.load((kDataDir / (GetParam() + ".ini")).string().c_str()), expected.loads);
    ASSERT_EQ(table.count(), 38);
    EXPECT_EQ(messages.texts, expected.messages);

    for (int i = 0; i < 38; ++i) {
        const char* key = defaults.names()[i];
        SCOPED_TRACE(key);
        const ParameterEntry& entry = table.entries()[i];
        const ParameterEntry& original = defaults.entries()[i];
        ASSERT_EQ(entry.type, original.type);
        const auto listed = expected.values.find(i);
        switch (entry.type) {
        case ParameterType::Int:
            EXPECT_EQ(entry.value.intValue,
                      listed != expected.values.end() ? std::stol(listed->second) : original.value.intValue);
            break;
        case ParameterType::Float: {
            std::uint32_t want = bitsOf(original.value.floatValue);
            if (listed != expected.values.end()) {
                const std::string& text = listed->second;
                want = text.rfind("0x", 0) == 0 ? static_cast<std::uint32_t>(std::stoul(text, nullptr, 16))
                                                : bitsOf(std::strtof(text.c_str(), nullptr));
            }
            EXPECT_EQ(bitsOf(entry.value.floatValue), want) << "as float: " << entry.value.floatValue;
            break;
        }
        case ParameterType::String:
            EXPECT_EQ(std::string(entry.value.stringValue), listed != expected.values.end()
                                                                ? unescape(listed->second)
                                                                : std::string(original.value.stringValue));
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Golden, SettingsReaderCase, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& param) { return param.param; });

TEST(SettingsReaderCases, EveryInputHasItsExpectation)
{
    for (const auto& entry : fs::directory_iterator(kDataDir)) {
        if (entry.path().extension() == ".ini") {
            fs::path expectation = entry.path();
            EXPECT_TRUE(fs::exists(expectation.replace_extension(".expected"))) << entry.path();
        }
    }
    EXPECT_FALSE(caseNames().empty()) << "no cases found in " << kDataDir;
}

} // namespace
