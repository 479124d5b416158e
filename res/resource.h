// Resource numbers of the launcher: dialogs, bitmap, icon and the controls of each page.
// Control numbers repeat across pages (1008 is a picture on General and Texture and a check
// box on OpenGL), so every control name carries its page.
#pragma once

#define IDD_CONTROLS                    9
#define IDD_GENERAL                     107
#define IDD_OPENGL                      108
#define IDD_TEXTURE                     109
#define IDI_SANDREL                     128
#define IDB_FALLBACK                    1007

// General (dialog 107)
#define IDC_GENERAL_WIDTH               1001
#define IDC_GENERAL_HEIGHT              1002
#define IDC_GENERAL_BROWSE              1004
#define IDC_GENERAL_BENCHMARK           1005
#define IDC_GENERAL_GLOBAL_DETAIL       1006
#define IDC_GENERAL_PREVIEW             1008
#define IDC_GENERAL_LOCAL_DETAIL        1009
#define IDC_GENERAL_FULLSCREEN          1010
#define IDC_GENERAL_SHOW_CULL           1011
#define IDC_GENERAL_MIN_DETAIL          1012
#define IDC_GENERAL_MAX_DETAIL          1013
#define IDC_GENERAL_MAP_NAME            1014
#define IDC_GENERAL_FRUSTUM_CULLING     1022

// OpenGL (dialog 108)
#define IDC_OPENGL_ARB_EXT              1007
#define IDC_OPENGL_VERTEX_ARRAY         1008
#define IDC_OPENGL_FIELD_OF_VIEW        1009
#define IDC_OPENGL_FOV_ASPECT           1013
#define IDC_OPENGL_CLIP_NEAR            1015
#define IDC_OPENGL_CLIP_FAR             1018
#define IDC_OPENGL_COMPILED_VERTEX_ARRAY 1020
#define IDC_OPENGL_MULTI_DRAW           1021

// Texture (dialog 109)
#define IDC_TEXTURE_PREVIEW             1008
#define IDC_TEXTURE_MAPPING             1015
#define IDC_TEXTURE_EDGE_LEN_SLIDER     1016
#define IDC_TEXTURE_EDGE_LEN            1017
#define IDC_TEXTURE_NAME                1018
#define IDC_TEXTURE_BROWSE              1019

// Controls (dialog 9)
#define IDC_CONTROLS_TRANS_SPEED        1002
#define IDC_CONTROLS_FREE_MOVE          1003
#define IDC_CONTROLS_STRAFE_LEFT        1009
#define IDC_CONTROLS_STRAFE_RIGHT       1010
#define IDC_CONTROLS_MOVE_FORWARD       1011
#define IDC_CONTROLS_MOVE_BACKWARD      1012
#define IDC_CONTROLS_MOVE_UP            1013
#define IDC_CONTROLS_MOVE_DOWN          1014
#define IDC_CONTROLS_SHADE_SWITCH       1015
#define IDC_CONTROLS_POLY_SWITCH        1016
#define IDC_CONTROLS_TEXTURE_SWITCH     1017
#define IDC_CONTROLS_CULL_SWITCH        1018
#define IDC_CONTROLS_DETAIL_UP          1019
#define IDC_CONTROLS_DETAIL_DOWN        1020
#define IDC_CONTROLS_LOCALDETAIL_UP     1021
#define IDC_CONTROLS_LOCALDETAIL_DOWN   1022
