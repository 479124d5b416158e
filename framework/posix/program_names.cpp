// The names of a Windows program under Wine, or the platform's own for any other program.
#include "framework/core/program_names.h"

#include <filesystem>
#include <memory>

#include "framework/posix/code_page.h"
#include "framework/posix/wine_names.h"
#include "framework/posix/windows_program.h"

namespace fw {
namespace {

struct WineView {
    posix::WineNames names;
    unsigned codePage;
};

// The one view the launcher takes, for the run of the sheet or of the settings check.
std::unique_ptr<WineView>& View()
{
    static std::unique_ptr<WineView> view;
    return view;
}

} // namespace

void UseFileNamesOf(const char* programPath)
{
    View().reset();
    if (programPath == nullptr || *programPath == '\0')
        return;
    std::filesystem::path program(programPath);
    if (program.is_relative())
        program = std::filesystem::path(posix::LogicalCurrentFolder()) / program;
    if (!posix::ClassifyProgramFile(program.c_str()).isWindows)
        return;
    std::string folder = program.parent_path().lexically_normal().string();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    View() = std::make_unique<WineView>(
        WineView{posix::WineNames(posix::WinePrefixFor(folder), folder), posix::CodePageOfEnvironment()});
}

bool FileNamesAreThePlatforms() { return View() == nullptr; }

std::string PathOfProgramFile(const char* name, std::string* why)
{
    if (name == nullptr)
        return {};
    if (View() == nullptr)
        return name;
    if (!posix::IsUtf8(name)) {
        if (why != nullptr)
            *why = "not a name in code page " + std::to_string(View()->codePage);
        return {};
    }
    return View()->names.LocalPath(name, why);
}

std::optional<std::string> ProgramNameOfFile(const char* path, std::string* why)
{
    if (path == nullptr)
        return std::nullopt;
    if (View() == nullptr)
        return std::string(path);
    const posix::WineNames& names = View()->names;
    const std::optional<std::string> dos = names.DosPath(path);
    if (!dos) {
        if (why != nullptr)
            *why = "Wine has no drive that leads to this file";
        return std::nullopt;
    }
    // The program's own test for a file beside it: its folder, a backslash and the file's name,
    // compared without regard to case.
    const std::string name = std::filesystem::path(path).filename().string();
    if (posix::SameNameIgnoringCase(names.CurrentFolder() + "\\" + name, *dos))
        return name;
    return dos;
}

std::optional<std::string> ToProgramText(std::string_view text)
{
    if (View() == nullptr)
        return std::string(text);
    return posix::ToCodePage(text, View()->codePage);
}

std::string FromProgramText(std::string_view bytes)
{
    if (View() == nullptr)
        return std::string(bytes);
    return posix::FromCodePage(bytes, View()->codePage).value_or(std::string(bytes));
}

unsigned ProgramCodePage() { return View() == nullptr ? 0 : View()->codePage; }

} // namespace fw
