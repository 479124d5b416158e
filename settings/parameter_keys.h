// The 38 settings' keys, types and built-in defaults in table order: the one list everyone uses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/parameter_table.h"

struct ParameterInfo {
    const char* key;
    ParameterType type;
    std::int32_t intDefault; // Int rows
    float floatDefault;      // Float rows
    const char* textDefault; // String rows
};

namespace settings::detail {
constexpr ParameterInfo intRow(const char* key, std::int32_t value)
{
    return {key, ParameterType::Int, value, 0.0f, nullptr};
}
constexpr ParameterInfo floatRow(const char* key, float value)
{
    return {key, ParameterType::Float, 0, value, nullptr};
}
constexpr ParameterInfo textRow(const char* key, const char* value)
{
    return {key, ParameterType::String, 0, 0.0f, value};
}
} // namespace settings::detail

// Index order is also the order of the lines the writer produces.
inline constexpr std::array<ParameterInfo, ParameterTable::EntryCount> kParameters = {{
    settings::detail::intRow("FULLSCREEN", 0),
    settings::detail::intRow("WIDTH", 800),
    settings::detail::intRow("HEIGHT", 600),
    settings::detail::floatRow("TRANS_SPEED", 5.0f),
    settings::detail::intRow("FREE_MOVE", 0),
    settings::detail::intRow("BENCHMARK", 0),
    settings::detail::intRow("SHOW_CULL", 0),
    settings::detail::intRow("USE_VERTEX_ARRAY", 0),
    settings::detail::intRow("USE_COMPILED_VERTEX_ARRAY", 0),
    settings::detail::intRow("USE_MULTIDRAW_EXT", 0),
    settings::detail::intRow("USE_ARB_EXT", 0),
    settings::detail::floatRow("GLOBAL_DETAIL", 9.0f),
    settings::detail::floatRow("LOCAL_DETAIL", 3.0f),
    settings::detail::intRow("MAX_DETAIL", 32),
    settings::detail::intRow("MIN_DETAIL", 3),
    settings::detail::intRow("FRUSTUM_CULLING", 1),
    settings::detail::floatRow("FIELD_OF_VIEW", 60.0f),
    settings::detail::floatRow("FIELD_OF_VIEW_ASPECT", 1.0f),
    settings::detail::floatRow("CLIP_PLANE_NEAR", 0.1f),
    settings::detail::floatRow("CLIP_PLANE_FAR", 150.0f),
    settings::detail::intRow("TEXTURE_MAPPING", 1),
    settings::detail::floatRow("TEXTURE_EDGE_LEN", 1.0f),
    settings::detail::textRow("MAP_NAME", "257x257.bmp"),
    settings::detail::textRow("TEXTURE_NAME", "G.bmp"),
    settings::detail::textRow("STRAFE_LEFT", "S"),
    settings::detail::textRow("STRAFE_RIGHT", "F"),
    settings::detail::textRow("MOVE_FORWARD", "E"),
    settings::detail::textRow("MOVE_BACKWARD", "D"),
    settings::detail::textRow("MOVE_UP", "A"),
    settings::detail::textRow("MOVE_DOWN", "Y"),
    settings::detail::textRow("SHADE_SWITCH", "J"),
    settings::detail::textRow("POLY_SWITCH", "U"),
    settings::detail::textRow("TEXTURE_SWITCH", "T"),
    settings::detail::textRow("CULL_SWITCH", "C"),
    settings::detail::textRow("DETAIL_UP", "O"),
    settings::detail::textRow("DETAIL_DOWN", "L"),
    settings::detail::textRow("LOCALDETAIL_UP", "I"),
    settings::detail::textRow("LOCALDETAIL_DOWN", "K"),
}};

// The row of a key; a key that is not in the table stops the build.
consteval std::size_t parameterRow(std::string_view key)
{
    for (std::size_t i = 0; i < kParameters.size(); ++i)
        if (key == kParameters[i].key)
            return i;
    throw "no such setting";
}

// The rows whose text names a bitmap file.
inline constexpr std::array<std::size_t, 2> kFileNameRows = {parameterRow("MAP_NAME"), parameterRow("TEXTURE_NAME")};
