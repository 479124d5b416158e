// The program's entry point on Linux: answers the command line, then starts wx on the display,
// installs the backend and runs the application object's one pass.
#include <cstdio>
#include <cstdlib>
#include <optional>

#include <wx/app.h>
#include <wx/init.h>

#include "framework/core/winapp.h"
#include "framework/wx/wx_backend.h"

namespace {

int g_exitCode = 0;

class SandrelWxApp : public wxApp {
public:
    bool OnInit() override
    {
        // Boxes shown after the sheet has closed must wait for the user, so the last window
        // closing must not end the program.
        SetExitOnFrameDelete(false);
        fw::wxui::WxBackend backend;
        g_exitCode = fw::RunApplication();
        // The application's pass is over: no message loop follows.
        return false;
    }
};

void ExplainDisplay()
{
    std::fputs("Without a desktop, run it on a virtual display with Xvfb:\n"
               "    xvfb-run -a build/bin/sandrel\n"
               "or start one and point DISPLAY at it:\n"
               "    Xvfb :99 & DISPLAY=:99 build/bin/sandrel\n",
               stderr);
}

bool HaveDisplay()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

} // namespace

wxIMPLEMENT_APP_NO_MAIN(SandrelWxApp);

int main(int argc, char** argv)
{
    // The program's own options need no display.
    if (const std::optional<int> status = fw::HandleCommandLine(argc, argv))
        return *status;
    if (!HaveDisplay()) {
        std::fputs("sandrel: this program shows a window and needs a graphical display, but $DISPLAY is not set.\n",
                   stderr);
        ExplainDisplay();
        return 2;
    }
    if (!wxEntryStart(argc, argv)) {
        std::fputs("sandrel: could not open the display; is DISPLAY set to a running X server?\n", stderr);
        ExplainDisplay();
        return 2;
    }
    wxTheApp->CallOnInit();
    wxEntryCleanup();
    return g_exitCode;
}
