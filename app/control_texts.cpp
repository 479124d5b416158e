// The launcher's access keys and screen-reader names, and their registration with the framework.
#include "app/control_texts.h"

#include "framework/core/wintypes.h"
#include "res/resource.h"

const std::array<fw::AccessKey, 47> kAccessKeys = {{
    {fw::kSheetButtons, IDOK, 'O'},
    {fw::kSheetButtons, IDCANCEL, 'C'},
    {fw::kSheetButtons, ID_HELP, 'H'},
    {IDD_GENERAL, fw::kPageTab, 'G'},
    {IDD_TEXTURE, fw::kPageTab, 'T'},
    {IDD_OPENGL, fw::kPageTab, 'P'},
    {IDD_CONTROLS, fw::kPageTab, 'N'},

    {IDD_GENERAL, IDC_GENERAL_MAP_NAME, 'S'},        // Select Map
    {IDD_GENERAL, IDC_GENERAL_BROWSE, '.'},          // ...
    {IDD_GENERAL, IDC_GENERAL_WIDTH, 'W'},           // Screen Width
    {IDD_GENERAL, IDC_GENERAL_HEIGHT, 'E'},          // Height
    {IDD_GENERAL, IDC_GENERAL_BENCHMARK, 'B'},       // Benchmark Mode
    {IDD_GENERAL, IDC_GENERAL_FRUSTUM_CULLING, 'F'}, // perform frustum culling
    {IDD_GENERAL, IDC_GENERAL_SHOW_CULL, 'D'},       // demonstrate frustum culling
    {IDD_GENERAL, IDC_GENERAL_FULLSCREEN, 'R'},      // run in fullscreen
    {IDD_GENERAL, IDC_GENERAL_GLOBAL_DETAIL, 'A'},   // global Detail
    {IDD_GENERAL, IDC_GENERAL_LOCAL_DETAIL, 'L'},    // local Detail
    {IDD_GENERAL, IDC_GENERAL_MIN_DETAIL, 'M'},      // minimum Detail
    {IDD_GENERAL, IDC_GENERAL_MAX_DETAIL, 'X'},      // maximum Detail

    {IDD_TEXTURE, IDC_TEXTURE_NAME, 'S'},     // Select Map
    {IDD_TEXTURE, IDC_TEXTURE_BROWSE, '.'},   // ...
    {IDD_TEXTURE, IDC_TEXTURE_EDGE_LEN, 'L'}, // texture edge length (in map coordinates)
    {IDD_TEXTURE, IDC_TEXTURE_MAPPING, 'E'},  // enable texture mapping

    {IDD_OPENGL, IDC_OPENGL_FIELD_OF_VIEW, 'F'},         // Field Of View (degrees in y direction)
    {IDD_OPENGL, IDC_OPENGL_FOV_ASPECT, 'A'},            // FOV aspect ratio
    {IDD_OPENGL, IDC_OPENGL_CLIP_NEAR, 'E'},             // clipping plane near distance
    {IDD_OPENGL, IDC_OPENGL_CLIP_FAR, 'R'},              // clipping plane far distance
    {IDD_OPENGL, IDC_OPENGL_VERTEX_ARRAY, 'V'},          // gl_vertex_array
    {IDD_OPENGL, IDC_OPENGL_COMPILED_VERTEX_ARRAY, 'I'}, // gl_compiled_vertex_array
    {IDD_OPENGL, IDC_OPENGL_MULTI_DRAW, 'M'},            // gl_multi_draw_arrays
    {IDD_OPENGL, IDC_OPENGL_ARB_EXT, 'B'},               // arb_vertex_buffer_object

    {IDD_CONTROLS, IDC_CONTROLS_TRANS_SPEED, 'M'},      // Movement Speed
    {IDD_CONTROLS, IDC_CONTROLS_FREE_MOVE, 'V'},        // free move
    {IDD_CONTROLS, IDC_CONTROLS_MOVE_FORWARD, 'F'},     // move forward
    {IDD_CONTROLS, IDC_CONTROLS_MOVE_BACKWARD, 'K'},    // move backward
    {IDD_CONTROLS, IDC_CONTROLS_MOVE_UP, 'U'},          // move up
    {IDD_CONTROLS, IDC_CONTROLS_MOVE_DOWN, 'W'},        // move down
    {IDD_CONTROLS, IDC_CONTROLS_STRAFE_LEFT, 'L'},      // strafe left
    {IDD_CONTROLS, IDC_CONTROLS_STRAFE_RIGHT, 'R'},     // strafe right
    {IDD_CONTROLS, IDC_CONTROLS_SHADE_SWITCH, 'S'},     // toggle shading
    {IDD_CONTROLS, IDC_CONTROLS_POLY_SWITCH, 'Y'},      // toggle polygon mode
    {IDD_CONTROLS, IDC_CONTROLS_TEXTURE_SWITCH, 'X'},   // toggle texture
    {IDD_CONTROLS, IDC_CONTROLS_CULL_SWITCH, 'I'},      // toggle frustum culling
    {IDD_CONTROLS, IDC_CONTROLS_DETAIL_UP, 'B'},        // increase global detail
    {IDD_CONTROLS, IDC_CONTROLS_DETAIL_DOWN, 'D'},      // decrease global detail
    {IDD_CONTROLS, IDC_CONTROLS_LOCALDETAIL_UP, 'A'},   // increase local detail
    {IDD_CONTROLS, IDC_CONTROLS_LOCALDETAIL_DOWN, 'E'}, // decrease local detail
}};

const std::array<fw::ControlDescription, 3> kControlNames = {{
    {IDD_GENERAL, IDC_GENERAL_PREVIEW, "Height map preview"},
    {IDD_TEXTURE, IDC_TEXTURE_NAME, "Texture file"},
    {IDD_TEXTURE, IDC_TEXTURE_PREVIEW, "Texture preview"},
}};

void RegisterControlTexts()
{
    fw::SetAccessKeys(kAccessKeys);
    fw::SetControlNames(kControlNames);
}
