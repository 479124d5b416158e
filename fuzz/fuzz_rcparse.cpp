// Feeds arbitrary resource scripts to the reader behind rc2cpp: it must either read them or
// refuse them with a ParseError, never crash, hang or read out of bounds.
// The input is the script, optionally followed by a NUL and the text that every other file
// the script names (#include "...", BITMAP "...") reads as.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/rcparse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\0');
    const std::string script = input.substr(0, split);
    const std::string other = split == std::string::npos ? std::string() : input.substr(split + 1);
    const rc::FileReader read = [&](const std::string& path) -> std::optional<std::string> {
        if (path == "main.rc")
            return script;
        if (split == std::string::npos)
            return std::nullopt;
        return other;
    };
    try {
        const rc::Script parsed = rc::ParseScript("main.rc", read);
        for (const rc::Dialog& d : parsed.dialogs)
            for (const rc::Control& c : d.controls)
                if (c.cx < 0 || c.cy < 0)
                    __builtin_trap(); // the reader promises sizes that are not negative
    } catch (const rc::ParseError&) {
    }
    return 0;
}
