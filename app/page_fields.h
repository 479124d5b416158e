// Which page field holds which setting while the sheet runs, and the writer of terrain.ini
// from those fields.
#pragma once

#include <array>

#include "framework/core/cstring.h"
#include "settings/parameter_table.h"

class MapPropPage;
class PropPageOpenGL;
class CTexturePropPage;
class ControlsPage;

// One page field, typed as the setting it holds.
struct PageField {
    ParameterType type;
    void* field; // int*, float* or CString*, by type
};

using PageFieldTable = std::array<PageField, ParameterTable::EntryCount>;

// The field of every setting, in table index order.
PageFieldTable pageFields(MapPropPage& general, PropPageOpenGL& opengl, CTexturePropPage& texture,
                          ControlsPage& controls);

// Copies every value of the loaded table into its page field, each through the member of its
// row's type; String values are copied, never shared.
void transferToPages(const ParameterTable& table, const PageFieldTable& fields);

// What the writer takes from the fields, in table order; String entries point at the fields'
// own texts and stay valid while the fields are unchanged.
std::array<ParameterEntry, ParameterTable::EntryCount> fieldValues(const PageFieldTable& fields);

// Writes terrain.ini from the four pages' value fields. False when it could not be written; the
// former file is then as it was, and the system's last error says why.
bool writeSettingsFile(const char* path, const MapPropPage& general, const PropPageOpenGL& opengl,
                       const CTexturePropPage& texture, const ControlsPage& controls);
// The same from the fields' table.
bool writeSettingsFile(const char* path, const PageFieldTable& fields);
