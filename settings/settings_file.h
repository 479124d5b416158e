// Writing terrain.ini: the fixed 40-line layout, saved so that a failure never costs the old file.
#pragma once

#include <span>
#include <string>

#include "settings/parameter_table.h"

// The text of terrain.ini for the 38 values in table order: the header line, an empty line,
// then "KEY = value" per setting (%d, %f of the value widened to double, %s), with the
// platform's line ends. String entries point at the caller's text. False, with out untouched,
// when an entry's type is not its row's or a String entry has no text or holds a line feed.
bool formatSettingsValues(std::span<const ParameterEntry, ParameterTable::EntryCount> values, std::string& out);

// Writes terrain.ini (or any path) from the 38 values in table order. True only when the whole
// file reached the disk; on false the former file is as it was, and the system's last error
// (errno; GetLastError on Windows) says why.
bool writeSettingsValues(const char* path, std::span<const ParameterEntry, ParameterTable::EntryCount> values);

// Whether terrain.ini can give a bitmap's file name back: the writer's line for it, under each
// key that holds a file name, read by the reader, must yield the name byte for byte. Nothing when
// it does; otherwise a short message for the user naming what would be lost (a space, an '=', a
// line break, a carriage return at the end, characters outside the code page the engine reads
// names in, a length no line holds). The file holds names in the engine's code page (for a
// Windows engine under Wine; elsewhere the bytes as they are), this side in UTF-8. The message
// stays valid until the next call on the same thread.
const char* nameNotKeptReason(const char* name);
