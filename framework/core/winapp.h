// The application object: one per program, constructed before start-up calls InitInstance.
#pragma once

#include <optional>
#include <string>

#include "framework/core/cwnd.h"

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // Called when the application's work is over; its result is the process's exit status.
    virtual int ExitInstance();
    // Asked by the main window before it closes with the user's work confirmed (a sheet's OK):
    // TRUE lets it close; FALSE keeps it open, as it is, with every value the user entered. The
    // default has nothing to save.
    virtual BOOL SaveAllModified();
    // Names the registry key for profile settings; this program stores nothing there.
    void SetRegistryKey(const char* key);
    // Selects the HTML help viewer for the framework's help handlers.
    void EnableHtmlHelp() { m_htmlHelp = true; }
    bool HtmlHelpEnabled() const { return m_htmlHelp; }
    const CString& RegistryKey() const { return m_registryKey; }

    CWnd* m_pMainWnd = nullptr;
    const char* m_pszAppName;
    const char* m_pszHelpFilePath;
    void* m_hInstance = nullptr;

    // The framework's help handlers: the help file's contents; context help has no mode here.
    void OnHelpFinder();
    void OnContextHelp();

protected:
    DECLARE_MESSAGE_MAP()

private:
    bool m_htmlHelp = false;
    CString m_registryKey;
    CString m_appNameStorage;
    CString m_helpPathStorage;
};

CWinApp* AfxGetApp();

namespace fw {
// Start-up: calls the application's InitInstance and then its ExitInstance, whose result is
// the process's exit code.
int RunApplication();

// What a program answers on its command line before any window system is started: the exit
// status when that was the whole run, nothing to go on to the window. A program installs one
// from a static initialiser, as it defines its application object; without one the command
// line is ignored.
using CommandLineHandler = std::optional<int> (*)(int argc, char** argv);
CommandLineHandler SetCommandLineHandler(CommandLineHandler handler);
std::optional<int> HandleCommandLine(int argc, char** argv);

// The program's title, which an application constructed without a name takes (its message
// boxes' caption, its help file's name): the program gives it before its application object is
// made. Empty until then.
void SetProgramTitle(const char* title);
const std::string& ProgramTitle();

// What a program can still do when it is started without a display, as lines for the user to
// read after the framework's own advice; program is the program as started, ready for a shell.
// A program without one adds nothing.
using DisplayAdvice = std::string (*)(const std::string& program);
DisplayAdvice SetDisplayAdvice(DisplayAdvice advice);
std::string AdviceWithoutDisplay(const std::string& program);
} // namespace fw
