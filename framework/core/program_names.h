// File names as the program the launcher prepares opens them. On Linux a Windows program runs
// under Wine, which takes '\' as a separator, drive letters through its prefix, letter case
// loosely and a name's bytes in the ANSI code page of the locale; every other program, and any
// program on Windows, opens a name as the launcher's own calls do.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fw {

// Takes the view of the program at programPath (a bare name lies in the current folder) for
// the calls below, until the next call. Before the first, names are the platform's.
void UseFileNamesOf(const char* programPath);

// Whether the program opens names as the platform does: the calls below then change nothing.
bool FileNamesAreThePlatforms();

// The path under which the launcher finds the file the program opens as `name`: the name itself
// where names are the platform's. Empty when the name leads to no file the program could open;
// `why` then says more when there is more to say than "not found" (a drive Wine lacks, say).
std::string PathOfProgramFile(const char* name, std::string* why = nullptr);

// The name by which the program opens the file at `path`, as a file chooser gives it: the bare
// name when the file lies directly in the program's current folder (compared as the program
// compares names), else its full path as the program names it. Nothing, with `why`, when the
// program has no name for it.
std::optional<std::string> ProgramNameOfFile(const char* path, std::string* why = nullptr);

// A name as the program reads it from a text file, and back. The launcher's side is UTF-8, the
// program's its code page: ToProgramText gives nothing for text the code page cannot hold, and
// FromProgramText leaves bytes the code page does not define as they are. Both change nothing
// where names are the platform's.
std::optional<std::string> ToProgramText(std::string_view text);
std::string FromProgramText(std::string_view bytes);

// The program's code page, for the user; 0 where names are the platform's.
unsigned ProgramCodePage();

} // namespace fw
