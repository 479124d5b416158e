// The table of the controls that show settings, and its registration with the framework.
#include "app/setting_controls.h"

#include <string_view>

#include "framework/core/control_descriptions.h"
#include "res/resource.h"
#include "settings/parameter_descriptions.h"
#include "settings/parameter_keys.h"

namespace {

consteval int Row(std::string_view key) { return static_cast<int>(parameterRow(key)); }

} // namespace

const std::array<SettingControl, 39> kSettingControls = {{
    {IDD_GENERAL, IDC_GENERAL_MAP_NAME, Row("MAP_NAME")},
    {IDD_GENERAL, IDC_GENERAL_WIDTH, Row("WIDTH")},
    {IDD_GENERAL, IDC_GENERAL_HEIGHT, Row("HEIGHT")},
    {IDD_GENERAL, IDC_GENERAL_GLOBAL_DETAIL, Row("GLOBAL_DETAIL")},
    {IDD_GENERAL, IDC_GENERAL_LOCAL_DETAIL, Row("LOCAL_DETAIL")},
    {IDD_GENERAL, IDC_GENERAL_MIN_DETAIL, Row("MIN_DETAIL")},
    {IDD_GENERAL, IDC_GENERAL_MAX_DETAIL, Row("MAX_DETAIL")},
    {IDD_GENERAL, IDC_GENERAL_BENCHMARK, Row("BENCHMARK")},
    {IDD_GENERAL, IDC_GENERAL_FRUSTUM_CULLING, Row("FRUSTUM_CULLING")},
    {IDD_GENERAL, IDC_GENERAL_SHOW_CULL, Row("SHOW_CULL")},
    {IDD_GENERAL, IDC_GENERAL_FULLSCREEN, Row("FULLSCREEN")},
    {IDD_TEXTURE, IDC_TEXTURE_NAME, Row("TEXTURE_NAME")},
    {IDD_TEXTURE, IDC_TEXTURE_EDGE_LEN, Row("TEXTURE_EDGE_LEN")},
    {IDD_TEXTURE, IDC_TEXTURE_EDGE_LEN_SLIDER, Row("TEXTURE_EDGE_LEN")},
    {IDD_TEXTURE, IDC_TEXTURE_MAPPING, Row("TEXTURE_MAPPING")},
    {IDD_OPENGL, IDC_OPENGL_FIELD_OF_VIEW, Row("FIELD_OF_VIEW")},
    {IDD_OPENGL, IDC_OPENGL_FOV_ASPECT, Row("FIELD_OF_VIEW_ASPECT")},
    {IDD_OPENGL, IDC_OPENGL_CLIP_NEAR, Row("CLIP_PLANE_NEAR")},
    {IDD_OPENGL, IDC_OPENGL_CLIP_FAR, Row("CLIP_PLANE_FAR")},
    {IDD_OPENGL, IDC_OPENGL_VERTEX_ARRAY, Row("USE_VERTEX_ARRAY")},
    {IDD_OPENGL, IDC_OPENGL_COMPILED_VERTEX_ARRAY, Row("USE_COMPILED_VERTEX_ARRAY")},
    {IDD_OPENGL, IDC_OPENGL_MULTI_DRAW, Row("USE_MULTIDRAW_EXT")},
    {IDD_OPENGL, IDC_OPENGL_ARB_EXT, Row("USE_ARB_EXT")},
    {IDD_CONTROLS, IDC_CONTROLS_TRANS_SPEED, Row("TRANS_SPEED")},
    {IDD_CONTROLS, IDC_CONTROLS_FREE_MOVE, Row("FREE_MOVE")},
    {IDD_CONTROLS, IDC_CONTROLS_MOVE_FORWARD, Row("MOVE_FORWARD")},
    {IDD_CONTROLS, IDC_CONTROLS_MOVE_BACKWARD, Row("MOVE_BACKWARD")},
    {IDD_CONTROLS, IDC_CONTROLS_MOVE_UP, Row("MOVE_UP")},
    {IDD_CONTROLS, IDC_CONTROLS_MOVE_DOWN, Row("MOVE_DOWN")},
    {IDD_CONTROLS, IDC_CONTROLS_STRAFE_LEFT, Row("STRAFE_LEFT")},
    {IDD_CONTROLS, IDC_CONTROLS_STRAFE_RIGHT, Row("STRAFE_RIGHT")},
    {IDD_CONTROLS, IDC_CONTROLS_SHADE_SWITCH, Row("SHADE_SWITCH")},
    {IDD_CONTROLS, IDC_CONTROLS_POLY_SWITCH, Row("POLY_SWITCH")},
    {IDD_CONTROLS, IDC_CONTROLS_TEXTURE_SWITCH, Row("TEXTURE_SWITCH")},
    {IDD_CONTROLS, IDC_CONTROLS_CULL_SWITCH, Row("CULL_SWITCH")},
    {IDD_CONTROLS, IDC_CONTROLS_DETAIL_UP, Row("DETAIL_UP")},
    {IDD_CONTROLS, IDC_CONTROLS_DETAIL_DOWN, Row("DETAIL_DOWN")},
    {IDD_CONTROLS, IDC_CONTROLS_LOCALDETAIL_UP, Row("LOCALDETAIL_UP")},
    {IDD_CONTROLS, IDC_CONTROLS_LOCALDETAIL_DOWN, Row("LOCALDETAIL_DOWN")},
}};

void RegisterSettingDescriptions()
{
    static const auto descriptions = [] {
        std::array<fw::ControlDescription, kSettingControls.size()> made{};
        for (size_t i = 0; i < made.size(); ++i) {
            const SettingControl& control = kSettingControls[i];
            made[i] = {control.dialogId, control.controlId,
                       kParameterDescriptions[static_cast<size_t>(control.setting)]};
        }
        return made;
    }();
    fw::SetControlDescriptions(descriptions);
}
