// LauncherApp: builds the sheet and its pages, loads terrain.ini into them, and on OK writes the
// file back and starts the engine.
#include "app/launcher_app.h"

#include <cstdio>
#include <string>

#include "app/control_texts.h"
#include "app/launcher_pages.h"
#include "app/page_fields.h"
#include "app/setting_controls.h"
#include "framework/core/msgbox.h"
#include "framework/core/program_names.h"
#include "framework/core/propsheet.h"
#include "framework/core/system.h"
#include "res/compiled_resources.h"

namespace {

constexpr const char* kSettingsFile = "terrain.ini";

// One line on standard error for whoever started the launcher, with the system's reason for
// the failure that has just happened; the user is told in a message box as well. Returns the
// reason.
std::string TellCaller(const char* what)
{
    std::string reason = fw::LastErrorText();
    std::fprintf(stderr, "sandrel: %s: %s\n", what, reason.c_str());
    std::fflush(stderr);
    return reason;
}

// terrain.ini where the user finds it: in the folder the launcher works in.
std::string SettingsFilePath()
{
    const DWORD needed = fw::GetCurrentDirectoryA(0, nullptr);
    std::string folder(needed, '\0');
    const DWORD length = needed > 0 ? fw::GetCurrentDirectoryA(needed, folder.data()) : 0;
    if (length == 0 || length >= needed)
        return kSettingsFile;
    folder.resize(length);
    return folder + fw::PathSeparator + kSettingsFile;
}

} // namespace

void IntroduceLauncher()
{
    fw::SetProgramTitle("Sandrel");
    fw::UseResourceTables(CompiledResources());
}

BEGIN_MESSAGE_MAP(LauncherApp, CWinApp)
    ON_COMMAND(ID_HELP, &LauncherApp::OnHelp)
    ON_COMMAND(ID_HELP_FINDER, &CWinApp::OnHelpFinder)
    ON_COMMAND(ID_CONTEXT_HELP, &CWinApp::OnContextHelp)
    ON_COMMAND(ID_DEFAULT_HELP, &CWinApp::OnHelpFinder)
END_MESSAGE_MAP()

LauncherApp::LauncherApp() : CWinApp(nullptr) { EnableHtmlHelp(); }

LauncherApp::~LauncherApp() { m_parameters.release(); }

BOOL LauncherApp::InitInstance()
{
    CWinApp::InitInstance();
    SetRegistryKey("Local AppWizard-Generated Applications");

    // Before the pages make their controls: each control that shows a setting describes it, and
    // every control the keyboard reaches has its access key.
    RegisterSettingDescriptions();
    RegisterControlTexts();

    CPropertySheet sheet("Sandrel", nullptr, 0);
    LauncherPages pages;
    m_pMainWnd = &sheet;
    pages.AddTo(sheet);

    // The names in terrain.ini are the engine's: a Windows engine reads them as Wine does.
    fw::UseFileNamesOf("Quellmark.exe");
    m_parameters.load(kSettingsFile);
    m_pageFields = pages.Fields();
    transferToPages(m_parameters, m_pageFields);

    // OK ends the sheet only once terrain.ini is written (SaveAllModified).
    m_exitStatus = ExitDone;
    const std::intptr_t result = sheet.DoModal();
    m_pageFields = {};

    // The sheet has gone: with no main window left, nothing ends the application while the
    // message below waits for the user.
    m_pMainWnd = nullptr;

    if (result == IDOK) {
        fw::STARTUPINFOA startupInfo{};
        startupInfo.cb = static_cast<DWORD>(sizeof startupInfo);
        fw::PROCESS_INFORMATION processInfo{};
        if (!fw::CreateProcessA("Quellmark.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startupInfo,
                                &processInfo)) {
            const std::string advice = fw::StartFailureAdvice();
            if (advice.empty())
                TellCaller("couldn't start Quellmark.exe");
            else
                std::fprintf(stderr, "sandrel: %s\n", advice.c_str());
            m_exitStatus = ExitStartFailed;
            fw::MessageBoxA(nullptr, "couldn't start engine", "error", MB_SYSTEMMODAL);
        }
    }
    return FALSE;
}

BOOL LauncherApp::SaveAllModified()
{
    if (m_pageFields.front().field == nullptr)
        return TRUE; // no sheet runs: nothing to save
    if (writeSettingsFile(kSettingsFile, m_pageFields)) {
        m_exitStatus = ExitDone;
        return TRUE;
    }
    // Cancel from here on still says that the settings were not saved.
    m_exitStatus = ExitSaveFailed;
    const std::string reason = TellCaller("couldn't write terrain.ini");
    const std::string message = "couldn't write configuration\n" + SettingsFilePath() + ": " + reason;
    fw::MessageBoxA(nullptr, message.c_str(), "error", MB_SYSTEMMODAL);
    return FALSE;
}

int LauncherApp::ExitInstance() { return m_exitStatus; }

void LauncherApp::OnHelp() { fw::HtmlHelpA(nullptr, "Sandrel.chm::/welcome.htm", HH_DISPLAY_TOPIC, 0); }
