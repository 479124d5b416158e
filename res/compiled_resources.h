// The program's dialogs and bitmaps as rc2cpp compiles them from Sandrel.rc, for the backends
// that have no resource compiler; the program hands them to the framework (fw::UseResourceTables).
#pragma once

#include "framework/core/dialog_template.h"

const fw::ResourceTables& CompiledResources();
