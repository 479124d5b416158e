// Test support: the launcher's four pages, filled from a terrain.ini text as the launcher fills
// them.
#pragma once

#include <string>

#include "app/launcher_pages.h"
#include "tests/support/bmp_files.h"
#include "tests/support/temp_dir.h"

namespace testsupport {

struct LauncherPages : ::LauncherPages {
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
        transferToPages(table, Fields());
        table.release();
    }
};

} // namespace testsupport
