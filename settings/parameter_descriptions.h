// What each of the 38 settings means, what its tab accepts and its default, in the words the
// window shows as the tooltip and accessible description of the control that holds it.
#pragma once

#include <array>

#include "settings/parameter_table.h"

// Index order is kParameters' order. Each text ends with "Default: " and the row's default as the
// window shows it (a flag as "on" or "off", a number with one decimal).
inline constexpr std::array<const char*, ParameterTable::EntryCount> kParameterDescriptions = {{
    "Run the engine in fullscreen. On or off. Default: off.",                                // FULLSCREEN
    "Screen width in pixels. 320 or more. Default: 800.",                                    // WIDTH
    "Screen height in pixels. 200 or more. Default: 600.",                                   // HEIGHT
    "Movement speed. Any number. Default: 5.0.",                                             // TRANS_SPEED
    "The engine's free movement. On or off. Default: off.",                                  // FREE_MOVE
    "Start the engine in its benchmark mode, for measuring speed. On or off. Default: off.", // BENCHMARK
    "Make the frustum culling visible. On or off. Default: off.",                            // SHOW_CULL
    "Use the vertex array extension. On or off. Default: off.",                              // USE_VERTEX_ARRAY
    "Use the compiled vertex array extension. On or off. Default: off.",               // USE_COMPILED_VERTEX_ARRAY
    "Use the multi-draw-arrays extension. On or off. Default: off.",                   // USE_MULTIDRAW_EXT
    "Use the vertex buffer object extension. On or off. Default: off.",                // USE_ARB_EXT
    "Global level of detail. 1.0 to 32.0. Default: 9.0.",                              // GLOBAL_DETAIL
    "Local level of detail. 1.0 to 32.0. Default: 3.0.",                               // LOCAL_DETAIL
    "Maximum level of detail. 1 to 32. Default: 32.",                                  // MAX_DETAIL
    "Minimum level of detail. 1 to 32. Default: 3.",                                   // MIN_DETAIL
    "Leave out what lies outside the view (frustum culling). On or off. Default: on.", // FRUSTUM_CULLING
    "Field of view in degrees, in the y direction. 15.0 to 160.0. Default: 60.0.",     // FIELD_OF_VIEW
    "Aspect ratio of the field of view. Any number. Default: 1.0.",                    // FIELD_OF_VIEW_ASPECT
    "Distance of the near clipping plane. Any number. Default: 0.1.",                  // CLIP_PLANE_NEAR
    "Distance of the far clipping plane. 10.0 to 5000.0. Default: 150.0.",             // CLIP_PLANE_FAR
    "Lay the texture over the terrain. On or off. Default: on.",                       // TEXTURE_MAPPING
    "Texture edge length in map coordinates; 0 spreads the texture over the whole map. "
    "0.0 to 2048.0. Default: 1.0.",                                        // TEXTURE_EDGE_LEN
    "Height-map bitmap file. Up to 256 characters. Default: 257x257.bmp.", // MAP_NAME
    "Texture bitmap file. Any length. Default: G.bmp.",                    // TEXTURE_NAME
    "Key that strafes left. One letter. Default: S.",                      // STRAFE_LEFT
    "Key that strafes right. One letter. Default: F.",                     // STRAFE_RIGHT
    "Key that moves forward. One letter. Default: E.",                     // MOVE_FORWARD
    "Key that moves backward. One letter. Default: D.",                    // MOVE_BACKWARD
    "Key that moves up. One letter. Default: A.",                          // MOVE_UP
    "Key that moves down. One letter. Default: Y.",                        // MOVE_DOWN
    "Key that toggles shading. One letter. Default: J.",                   // SHADE_SWITCH
    "Key that toggles the polygon mode. One letter. Default: U.",          // POLY_SWITCH
    "Key that toggles the texture. One letter. Default: T.",               // TEXTURE_SWITCH
    "Key that toggles frustum culling. Any text. Default: C.",             // CULL_SWITCH
    "Key that increases the global detail. One letter. Default: O.",       // DETAIL_UP
    "Key that decreases the global detail. One letter. Default: L.",       // DETAIL_DOWN
    "Key that increases the local detail. One letter. Default: I.",        // LOCALDETAIL_UP
    "Key that decreases the local detail. One letter. Default: K.",        // LOCALDETAIL_DOWN
}};
