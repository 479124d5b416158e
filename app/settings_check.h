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
// it, from the folder that holds the file, as the launcher started there would: every tab is
// opened and left and OK pressed, so the tabs' own checks run and their previews look at the
// bitmaps. Reported to out, one line each in file order ("terrain.ini:12: WIDTH = 100: <what is
// wrong>", the value as the line holds it): unknown keys, values a tab refuses, bitmaps of the
// wrong shape, missing, unreadable or not named, and values the launcher would write otherwise
// than the file has them, with what it writes. Writes no file and starts nothing; the process's
// current folder is as it was when this returns.
CheckResult CheckSettingsFile(const char* path, std::FILE* out, std::FILE* err);

// A text from a file or the command line, safe to print on one line: a byte that is not
// printable ASCII is shown as \xNN and a text longer than limit bytes is cut, with "..." after it.
std::string PrintableText(std::string_view text, std::size_t limit = 80);
