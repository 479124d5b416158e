// Test support: a setting's row in the settings table, by its key (a key that is not there
// stops the build), for the lookups that take rows.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/parameter_keys.h"

consteval std::int32_t RowOf(std::string_view key) { return static_cast<std::int32_t>(parameterRow(key)); }
