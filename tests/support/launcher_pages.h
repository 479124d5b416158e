// Test support: the launcher's four pages, filled from a terrain.ini text as the launcher fills
// them, and added to a sheet in its tab order.
#pragma once

#include <string>

#include "app/page_fields.h"
#include "framework/core/propsheet.h"
#include "pages/controls_page.h"
#include "pages/map_prop_page.h"
#include "pages/prop_page_opengl.h"
#include "pages/texture_prop_page.h"
#include "tests/support/bmp_files.h"
#include "tests/support/temp_dir.h"

namespace testsupport {

struct LauncherPages {
    MapPropPage general;
    PropPageOpenGL opengl;
    ControlsPage controls;
    CTexturePropPage texture;

    // Fills the pages from the defaults overlaid with this terrain.ini text, written to the
    // current directory; the demo's bitmaps exist unless told otherwise, so the default names
    // show pictures.
    void Load(const std::string& ini = "", bool withBitmaps = true)
    {
        if (withBitmaps) {
            WriteBitmap("257x257.bmp", 257, 257, 8);
            WriteBitmap("G.bmp", 256, 256, 24);
        }
        WriteFile("terrain.ini", ini);
        ParameterTable table;
        table.load("terrain.ini");
        transferToPages(table, pageFields(general, opengl, texture, controls));
        table.release();
    }

    // The tabs in the launcher's order: General, Texture, OpenGL, Controls.
    void AddTo(CPropertySheet& sheet)
    {
        sheet.AddPage(&general);
        sheet.AddPage(&texture);
        sheet.AddPage(&opengl);
        sheet.AddPage(&controls);
    }
};

} // namespace testsupport
