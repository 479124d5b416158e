// The four pages on a sheet in a temporary directory, filled from a terrain.ini text as the
// launcher fills them, with the headless backend playing the user.
#pragma once

#include <gtest/gtest.h>

#include "app/page_fields.h"
#include "framework/headless/headless.h"
#include "pages/controls_page.h"
#include "pages/map_prop_page.h"
#include "pages/prop_page_opengl.h"
#include "pages/texture_prop_page.h"
#include "res/resource.h"
#include "tests/support/bmp_files.h"
#include "tests/support/temp_dir.h"

namespace pagetest {

enum Tab : int { kGeneral = 0, kTexture = 1, kOpenGL = 2, kControls = 3 };

class PageFixture : public ::testing::Test {
protected:
    testsupport::InTempDir dir;
    fw::headless::HeadlessBackend backend;
    MapPropPage general;
    PropPageOpenGL opengl;
    ControlsPage controls;
    CTexturePropPage texture;

    // Fills the pages from the defaults overlaid with this terrain.ini text; the demo's bitmaps
    // exist unless told otherwise, so the default names show pictures.
    void Load(const std::string& ini = "", bool withBitmaps = true)
    {
        if (withBitmaps) {
            testsupport::WriteBitmap("257x257.bmp", 257, 257, 8);
            testsupport::WriteBitmap("G.bmp", 256, 256, 24);
        }
        testsupport::WriteFile("terrain.ini", ini);
        ParameterTable table;
        table.load("terrain.ini");
        transferToPages(table, pageFields(general, opengl, texture, controls));
        table.release();
        backend.messages.clear();
    }

    // Runs the sheet with the script; returns DoModal's result.
    int Run(std::function<void(fw::headless::Driver&)> script)
    {
        CPropertySheet sheet("Sandrel");
        sheet.AddPage(&general);
        sheet.AddPage(&texture);
        sheet.AddPage(&opengl);
        sheet.AddPage(&controls);
        backend.sheetScript = std::move(script);
        return static_cast<int>(sheet.DoModal());
    }

    std::vector<std::string> Messages() const { return backend.MessageTexts(); }
};

inline const char* kMapMessage = "map has to be 8 bit grayscale, square and of size 2**n+1";
inline const char* kTextureMessage = "texture edge_len has to be 2**n";

} // namespace pagetest
