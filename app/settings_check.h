// Checking a terrain.ini without a window: the launcher's reader and every tab's own checks.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// What CheckSettingsFile returns: the process's exit status of `sandrel --check`.
enum CheckResult : int {
    CheckClean = 0,      // no problem found
    CheckProblems = 1,   // one line per problem went to out
    CheckUnreadable = 2, // the file could not be read; the reason went to err
};

// Reads the file at path as the launcher does and plays each setting through the tab that edits
// it: the tab is opened and left, so its own checks run and its previews look at the bitmaps.
// Unknown keys, values a tab refuses and bitmaps of the wrong shape are reported to out, one
// line each in file order: "terrain.ini:12: WIDTH = 100: <the tab's message>". Writes no file
// and starts nothing.
CheckResult CheckSettingsFile(const char* path, std::FILE* out, std::FILE* err);

// A text from a file or the command line, safe to print on one line: control bytes are shown
// as \xNN and a text longer than limit bytes is cut, with "..." after it.
std::string PrintableText(std::string_view text, std::size_t limit = 80);
