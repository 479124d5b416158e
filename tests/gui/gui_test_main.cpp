// Hands the program's resources to the framework and starts wx on the display the test runner
// provides, then runs the tests.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>

#include "res/compiled_resources.h"

int main(int argc, char** argv)
{
    fw::UseResourceTables(CompiledResources());
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "gui_backend_tests: no display; run it through tests/gui/with_xvfb.py\n");
        return 1;
    }
    // Boxes opened by the tests must not end anything when their windows close.
    wxTheApp->SetExitOnFrameDelete(false);
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
