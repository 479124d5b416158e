// Test support: the settings' defaults as the golden file tests/data/settings/written/defaults.ini
// holds them, the one place a test takes a default from.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <string_view>

namespace testsupport {

// The text of key's line in the golden defaults file (as the writer writes it: "5.000000" for a
// float); a key the file lacks fails the test.
inline std::string GoldenDefault(std::string_view key)
{
    std::ifstream in(SANDREL_GOLDEN_DEFAULTS);
    const std::string start = std::string(key) + " = ";
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with(start))
            return line.substr(start.size());
    }
    ADD_FAILURE() << "no " << key << " in " << SANDREL_GOLDEN_DEFAULTS;
    return {};
}

inline int GoldenDefaultInt(std::string_view key) { return std::stoi(GoldenDefault(key)); }

} // namespace testsupport
