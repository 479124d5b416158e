// The launcher's four pages as one object: the launcher's sheet, and whatever plays it without
// the launcher (the settings check and the tests).
#pragma once

#include "app/page_fields.h"
#include "framework/core/propsheet.h"
#include "pages/controls_page.h"
#include "pages/map_prop_page.h"
#include "pages/prop_page_opengl.h"
#include "pages/texture_prop_page.h"

struct LauncherPages {
    // Constructed in this order, as the launcher constructs them.
    MapPropPage general;
    PropPageOpenGL opengl;
    ControlsPage controls;
    CTexturePropPage texture;

    // The tabs in the launcher's order: General, Texture, OpenGL, Controls.
    void AddTo(CPropertySheet& sheet)
    {
        sheet.AddPage(&general);
        sheet.AddPage(&texture);
        sheet.AddPage(&opengl);
        sheet.AddPage(&controls);
    }

    PageFieldTable Fields() { return pageFields(general, opengl, texture, controls); }
};
