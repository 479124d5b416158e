// Prints what a user sees of the desktop's windows: each visible top-level window's title and,
// indented, its visible controls as "class id left top right bottom text" (screen pixels).
// With a title argument, only the windows of that title. The end-to-end checks read message boxes and edits through it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string TextOf(HWND window)
{
    char text[1024] = {};
    // WM_GETTEXT reads a control of another program as well as its title.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM)
{
    if (!IsWindowVisible(child))
        return TRUE;
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    RECT r{};
    GetWindowRect(child, &r);
    std::printf("  %s %d %ld %ld %ld %ld %s\n", name, GetDlgCtrlID(child), r.left, r.top, r.right, r.bottom,
                TextOf(child).c_str());
    return TRUE;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM wanted)
{
    if (!IsWindowVisible(window))
        return TRUE;
    const std::string title = TextOf(window);
    const char* only = reinterpret_cast<const char*>(wanted);
    if (title.empty() || (only != nullptr && title != only))
        return TRUE;
    std::printf("window %s\n", title.c_str());
    EnumChildWindows(window, PrintChild, 0);
    return TRUE;
}

} // namespace

int main(int argc, char** argv)
{
    EnumWindows(PrintWindow, reinterpret_cast<LPARAM>(argc > 1 ? argv[1] : nullptr));
    std::fflush(stdout);
    return 0;
}
