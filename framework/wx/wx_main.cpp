// The program's entry point on Linux: answers the command line, then starts wx on the display,
// installs the backend and runs the application object's one pass.
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include "framework/core/winapp.h"
#include "framework/wx/wx_backend.h"

namespace {

int g_exitCode = 0;

class ProgramWxApp : public wxApp {
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

// The program's own file name, for a start that gave it no argv[0].
std::string ProgramFileName()
{
    char path[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    const char* name = length > 0 ? std::strrchr(path, '/') : nullptr;
    return name != nullptr ? name + 1 : "";
}

// The program as it was started, ready to be pasted into a shell: its name from the search
// path, a path otherwise; quoted when it holds anything but the usual characters of a path.
std::string ProgramForShell(const char* argv0)
{
    const std::string program = argv0 != nullptr && *argv0 != '\0' ? argv0 : ProgramFileName();
    const bool plain = std::all_of(program.begin(), program.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::strchr("/._-+,:@%", c) != nullptr;
    });
    if (plain)
        return program;
    std::string quoted = "'";
    for (const char c : program)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

void ExplainDisplay(const char* argv0)
{
    const std::string program = ProgramForShell(argv0);
    std::fprintf(stderr,
                 "Without a desktop, run it on a virtual display with Xvfb:\n"
                 "    xvfb-run -a %s\n"
                 "or start one and point DISPLAY at it:\n"
                 "    Xvfb :99 & DISPLAY=:99 %s\n"
                 "%s",
                 program.c_str(), program.c_str(), fw::AdviceWithoutDisplay(program).c_str());
}

// The name the program's complaints begin with, as a command-line program's do.
std::string ProgramName(const char* argv0)
{
    const char* slash = argv0 != nullptr ? std::strrchr(argv0, '/') : nullptr;
    const char* name = slash != nullptr ? slash + 1 : argv0;
    return name != nullptr && *name != '\0' ? name : ProgramFileName();
}

// Says what is wrong with the display and how to do without one; the exit status of such a start.
int WithoutDisplay(const char* argv0, const char* problem)
{
    std::fprintf(stderr, "%s: %s\n", ProgramName(argv0).c_str(), problem);
    ExplainDisplay(argv0);
    return 2;
}

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

} // namespace

wxIMPLEMENT_APP_NO_MAIN(ProgramWxApp);

int main(int argc, char** argv)
{
    // The program's own options need no display.
    if (const std::optional<int> status = fw::HandleCommandLine(argc, argv))
        return *status;
    const bool x11 = IsSet("DISPLAY");
    const bool wayland = IsSet("WAYLAND_DISPLAY");
    if (!x11 && !wayland)
        return WithoutDisplay(argv[0], "this program shows a window and needs a graphical display, but neither "
                                       "DISPLAY nor WAYLAND_DISPLAY is set.");
    bool started = false;
    {
        // The toolkit's own complaint would speak of DISPLAY whichever display is meant: the
        // program says what went wrong itself.
        const wxLogNull quiet;
        started = wxEntryStart(argc, argv);
    }
    if (!started)
        return WithoutDisplay(argv[0], x11 ? "could not open the display; is DISPLAY set to a running X server?"
                                           : "could not open the display; is WAYLAND_DISPLAY set to a running Wayland "
                                             "compositor?");
    wxTheApp->CallOnInit();
    wxEntryCleanup();
    return g_exitCode;
}
