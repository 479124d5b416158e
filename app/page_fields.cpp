// The page-field table of the settings, the transfer into the pages and the writer's gathering.
#include "app/page_fields.h"

#include "pages/controls_page.h"
#include "pages/map_prop_page.h"
#include "pages/prop_page_opengl.h"
#include "pages/texture_prop_page.h"
#include "settings/parameter_keys.h"
#include "settings/settings_file.h"

namespace {

PageField field(int& value) { return {ParameterType::Int, &value}; }
PageField field(float& value) { return {ParameterType::Float, &value}; }
PageField field(CString& value) { return {ParameterType::String, &value}; }

} // namespace

PageFieldTable pageFields(MapPropPage& general, PropPageOpenGL& opengl, CTexturePropPage& texture,
                          ControlsPage& controls)
{
    return {{
        field(general.m_fullscreen),            // FULLSCREEN
        field(general.m_width),                 // WIDTH
        field(general.m_height),                // HEIGHT
        field(controls.m_transSpeed),           // TRANS_SPEED
        field(controls.m_freeMove),             // FREE_MOVE
        field(general.m_benchmark),             // BENCHMARK
        field(general.m_showCull),              // SHOW_CULL
        field(opengl.m_useVertexArray),         // USE_VERTEX_ARRAY
        field(opengl.m_useCompiledVertexArray), // USE_COMPILED_VERTEX_ARRAY
        field(opengl.m_useMultiDraw),           // USE_MULTIDRAW_EXT
        field(opengl.m_useArbExt),              // USE_ARB_EXT
        field(general.m_globalDetail),          // GLOBAL_DETAIL
        field(general.m_localDetail),           // LOCAL_DETAIL
        field(general.m_maxDetail),             // MAX_DETAIL
        field(general.m_minDetail),             // MIN_DETAIL
        field(general.m_frustumCulling),        // FRUSTUM_CULLING
        field(opengl.m_fieldOfView),            // FIELD_OF_VIEW
        field(opengl.m_fovAspect),              // FIELD_OF_VIEW_ASPECT
        field(opengl.m_clipNear),               // CLIP_PLANE_NEAR
        field(opengl.m_clipFar),                // CLIP_PLANE_FAR
        field(texture.m_textureMapping),        // TEXTURE_MAPPING
        field(texture.m_textureEdgeLen),        // TEXTURE_EDGE_LEN
        field(general.m_mapName),               // MAP_NAME
        field(texture.m_textureName),           // TEXTURE_NAME
        field(controls.m_keyStrafeLeft),        // STRAFE_LEFT
        field(controls.m_keyStrafeRight),       // STRAFE_RIGHT
        field(controls.m_keyMoveForward),       // MOVE_FORWARD
        field(controls.m_keyMoveBackward),      // MOVE_BACKWARD
        field(controls.m_keyMoveUp),            // MOVE_UP
        field(controls.m_keyMoveDown),          // MOVE_DOWN
        field(controls.m_keyShadeSwitch),       // SHADE_SWITCH
        field(controls.m_keyPolySwitch),        // POLY_SWITCH
        field(controls.m_keyTextureSwitch),     // TEXTURE_SWITCH
        field(controls.m_keyCullSwitch),        // CULL_SWITCH
        field(controls.m_keyDetailUp),          // DETAIL_UP
        field(controls.m_keyDetailDown),        // DETAIL_DOWN
        field(controls.m_keyLocalDetailUp),     // LOCALDETAIL_UP
        field(controls.m_keyLocalDetailDown),   // LOCALDETAIL_DOWN
    }};
}

void transferToPages(const ParameterTable& table, const PageFieldTable& fields)
{
    for (int i = 0; i < ParameterTable::EntryCount; ++i) {
        const ParameterValue value = table.valueAt(i);
        const PageField& target = fields[static_cast<size_t>(i)];
        switch (kParameters[static_cast<size_t>(i)].type) {
        case ParameterType::Int: *static_cast<int*>(target.field) = value.intValue; break;
        case ParameterType::Float: *static_cast<float*>(target.field) = value.floatValue; break;
        case ParameterType::String: *static_cast<CString*>(target.field) = value.stringValue; break;
        }
    }
}

std::array<ParameterEntry, ParameterTable::EntryCount> fieldValues(const PageFieldTable& fields)
{
    std::array<ParameterEntry, ParameterTable::EntryCount> values{};
    for (size_t i = 0; i < values.size(); ++i) {
        values[i].type = fields[i].type;
        switch (fields[i].type) {
        case ParameterType::Int: values[i].value.intValue = *static_cast<const int*>(fields[i].field); break;
        case ParameterType::Float: values[i].value.floatValue = *static_cast<const float*>(fields[i].field); break;
        case ParameterType::String:
            values[i].value.stringValue = const_cast<char*>(static_cast<const CString*>(fields[i].field)->c_str());
            break;
        }
    }
    return values;
}

bool writeSettingsFile(const char* path, const MapPropPage& general, const PropPageOpenGL& opengl,
                       const CTexturePropPage& texture, const ControlsPage& controls)
{
    // The writer only reads the fields; the table is built on the same rows the transfer uses.
    const PageFieldTable fields =
        pageFields(const_cast<MapPropPage&>(general), const_cast<PropPageOpenGL&>(opengl),
                   const_cast<CTexturePropPage&>(texture), const_cast<ControlsPage&>(controls));
    return writeSettingsFile(path, fields);
}

bool writeSettingsFile(const char* path, const PageFieldTable& fields)
{
    return writeSettingsValues(path, fieldValues(fields));
}
