// The application object and start-up.
#include "framework/core/winapp.h"

#include "framework/core/msgbox.h"
#include "framework/core/system.h"

namespace {
CWinApp* g_app = nullptr;
fw::CommandLineHandler g_commandLine = nullptr;
fw::DisplayAdvice g_displayAdvice = nullptr;

// Made on first use: the program gives it from a static of its own, before its application
// object, which takes it; both may be made before this file's statics.
std::string& Title()
{
    static std::string title;
    return title;
}
} // namespace

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char* appName)
{
    // Without a name of its own the application is called after its program.
    m_appNameStorage = appName != nullptr ? appName : fw::ProgramTitle().c_str();
    m_pszAppName = m_appNameStorage;
    m_helpPathStorage = m_appNameStorage + ".chm";
    m_pszHelpFilePath = m_helpPathStorage;
    fw::SetAppName(m_pszAppName);
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

BOOL CWinApp::SaveAllModified() { return TRUE; }

void CWinApp::SetRegistryKey(const char* key) { m_registryKey = key; }

void CWinApp::OnHelpFinder()
{
    if (m_htmlHelp)
        fw::HtmlHelpA(nullptr, m_pszHelpFilePath, HH_DISPLAY_TOPIC, 0);
}

void CWinApp::OnContextHelp() {}

CWinApp* AfxGetApp() { return g_app; }

namespace fw {

int RunApplication()
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;
    // InitInstance returning false ends the program without a message loop; there is none here
    // to run either way, so the application's exit processing follows at once.
    app->InitInstance();
    return app->ExitInstance();
}

CommandLineHandler SetCommandLineHandler(CommandLineHandler handler)
{
    const CommandLineHandler previous = g_commandLine;
    g_commandLine = handler;
    return previous;
}

std::optional<int> HandleCommandLine(int argc, char** argv)
{
    if (g_commandLine == nullptr)
        return std::nullopt;
    return g_commandLine(argc, argv);
}

void SetProgramTitle(const char* title) { Title() = title != nullptr ? title : ""; }

const std::string& ProgramTitle() { return Title(); }

DisplayAdvice SetDisplayAdvice(DisplayAdvice advice)
{
    const DisplayAdvice previous = g_displayAdvice;
    g_displayAdvice = advice;
    return previous;
}

std::string AdviceWithoutDisplay(const std::string& program)
{
    return g_displayAdvice != nullptr ? g_displayAdvice(program) : std::string();
}

} // namespace fw
