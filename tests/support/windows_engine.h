// Test support for a Windows engine on Linux: a file with a Windows program's headers, and an
// environment variable set for the length of a scope.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

// Bytes with the headers of a Windows program for `machine`: "MZ", at 0x3C the offset of
// "PE\0\0", and the file header's machine and characteristics (0x0022: an executable image).
inline std::string WindowsProgramBytes(unsigned machine, unsigned characteristics = 0x0022, unsigned peOffset = 0x80,
                                       std::size_t size = 0x200)
{
    const auto put16 = [](std::string& bytes, std::size_t at, unsigned value) {
        bytes[at] = static_cast<char>(value & 0xFF);
        bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    };
    std::string bytes(size, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    put16(bytes, 0x3C, peOffset & 0xFFFF);
    put16(bytes, 0x3E, peOffset >> 16);
    if (peOffset + 24 <= size) {
        bytes.replace(peOffset, 4, std::string("PE\0\0", 4));
        put16(bytes, peOffset + 4, machine);
        put16(bytes, peOffset + 22, characteristics);
    }
    return bytes;
}

// Sets an environment variable for the length of a scope (nullptr: unsets it).
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

} // namespace testsupport
