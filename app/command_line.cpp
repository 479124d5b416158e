// The command line of the Linux program: a short usage, the version, and the settings check.
// Without one of these options the launcher runs exactly as without arguments.
#include "app/command_line.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "app/settings_check.h"
#include "framework/core/winapp.h"
#include "sandrel_version.h"

namespace {

constexpr const char* kUsage =
    "Usage: sandrel [--help | --version | --check [FILE]]\n"
    "The settings launcher of the Quellmark terrain engine. Started without an option in the\n"
    "engine's folder, it shows the engine's settings; OK rewrites terrain.ini there and starts\n"
    "./Quellmark.exe (through Wine when it is a Windows program). It then exits with status 0,\n"
    "or 3 when terrain.ini could not be written, 4 when the engine could not be started (2: no\n"
    "display).\n"
    "\n"
    "  -h, --help      show this usage and exit\n"
    "  --version       show the version and exit\n"
    "  --check [FILE]  check FILE (default: terrain.ini) as the launcher in FILE's folder would,\n"
    "  --check=FILE    without a window: values a tab refuses or the launcher would write\n"
    "                  otherwise, bitmaps missing or of the wrong shape; one line per problem;\n"
    "                  exit status 0 when there is none, 1 when there are some, 2 when the\n"
    "                  file cannot be read\n"
    "\n"
    "Other arguments are ignored. The manual page is sandrel(1).\n";

int Usage(std::FILE* to, int status)
{
    std::fputs(kUsage, to);
    return status;
}

} // namespace

std::optional<int> AnswerCommandLine(int argc, char** argv)
{
    if (argc < 2)
        return std::nullopt;
    const std::string_view option = argv[1];
    if (option == "--help" || option == "-h")
        return Usage(stdout, 0);
    if (option == "--version") {
        std::puts("sandrel " SANDREL_VERSION);
        return 0;
    }
    constexpr std::string_view checkWithFile = "--check=";
    const bool fileJoined = option.starts_with(checkWithFile);
    if (option == "--check" || fileJoined) {
        if (argc > (fileJoined ? 2 : 3)) {
            std::fputs("sandrel: --check takes one file\n", stderr);
            return Usage(stderr, CheckUnreadable);
        }
        const char* file = fileJoined ? argv[1] + checkWithFile.size() : argc == 3 ? argv[2] : "terrain.ini";
        return CheckSettingsFile(file, stdout, stderr);
    }
    // A game frontend or a desktop entry may pass arguments of its own: they change nothing.
    std::string ignored;
    for (int i = 1; i < argc; ++i)
        ignored += " '" + PrintableText(argv[i]) + "'";
    std::fprintf(stderr, "sandrel: ignoring unknown arguments:%s\n", ignored.c_str());
    return std::nullopt;
}

namespace {

std::string CheckNeedsNoDisplay(const std::string& program)
{
    return "Checking terrain.ini needs no display:\n    " + program + " --check\n";
}

} // namespace

// The program answers its command line before the window system starts, so that these options
// need no display; a user without one is told of the check.
[[maybe_unused]] const fw::CommandLineHandler kPreviousHandler = fw::SetCommandLineHandler(&AnswerCommandLine);
[[maybe_unused]] const fw::DisplayAdvice kPreviousAdvice = fw::SetDisplayAdvice(&CheckNeedsNoDisplay);
