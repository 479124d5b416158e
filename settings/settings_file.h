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
// file reached the disk; on false the former file is as it was.
bool writeSettingsValues(const char* path, std::span<const ParameterEntry, ParameterTable::EntryCount> values);
