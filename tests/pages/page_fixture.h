// The four pages on a sheet in a temporary directory, filled from a terrain.ini text as the
// launcher fills them, with the headless backend playing the user.
#pragma once

#include <gtest/gtest.h>

#include "framework/headless/headless.h"
#include "res/resource.h"
#include "tests/support/launcher_pages.h"

namespace pagetest {

enum Tab : int { kGeneral = 0, kTexture = 1, kOpenGL = 2, kControls = 3 };

class PageFixture : public ::testing::Test, protected testsupport::LauncherPages {
protected:
    testsupport::InTempDir dir;
    fw::headless::HeadlessBackend backend;

    // Fills the pages as the launcher does (see LauncherPages::Load); what loading said is
    // forgotten, so that a test sees only the messages of its own run.
    void Load(const std::string& ini = "", bool withBitmaps = true)
    {
        LauncherPages::Load(ini, withBitmaps);
        backend.messages.clear();
    }

    // Runs the sheet with the script; returns DoModal's result.
    int Run(std::function<void(fw::headless::Driver&)> script)
    {
        CPropertySheet sheet("Sandrel");
        AddTo(sheet);
        backend.sheetScript = std::move(script);
        return static_cast<int>(sheet.DoModal());
    }

    std::vector<std::string> Messages() const { return backend.MessageTexts(); }
};

inline const char* kMapMessage = "map has to be 8 bit grayscale, square and of size 2**n+1";
inline const char* kTextureMessage = "texture edge_len has to be 2**n";

} // namespace pagetest
