// Test support: a setting's row in the settings table and its default, by its key (a key that is
// not there stops the build).
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/parameter_keys.h"

consteval std::int32_t RowOf(std::string_view key) { return static_cast<std::int32_t>(parameterRow(key)); }

// The setting's row of the table: its key, type and default. A test that needs a default takes
// it from here; only the writer's test holds the defaults against the golden file.
consteval const ParameterInfo& DefaultsOf(std::string_view key) { return kParameters[parameterRow(key)]; }
