// LauncherApp: builds the sheet and its pages, loads terrain.ini into them, and on OK writes the
// file back and starts the engine.
#include "app/launcher_app.h"

#include <cstdio>
#include <string>

#include "app/control_texts.h"
#include "app/page_fields.h"
#include "app/setting_controls.h"
#include "framework/core/msgbox.h"
#include "framework/core/propsheet.h"
#include "framework/core/system.h"
#include "pages/controls_page.h"
#include "pages/map_prop_page.h"
#include "pages/prop_page_opengl.h"
#include "pages/texture_prop_page.h"

namespace {

// One line on standard error for whoever started the launcher, with the system's reason for
// the failure that has just happened; the user is told in a message box as well.
void TellCaller(const char* what)
{
    const std::string reason = fw::LastErrorText();
    std::fprintf(stderr, "sandrel: %s: %s\n", what, reason.c_str());
    std::fflush(stderr);
}

} // namespace

BEGIN_MESSAGE_MAP(LauncherApp, CWinApp)
    ON_COMMAND(ID_HELP, &LauncherApp::OnHelp)
    ON_COMMAND(ID_HELP_FINDER, &CWinApp::OnHelpFinder)
    ON_COMMAND(ID_CONTEXT_HELP, &CWinApp::OnContextHelp)
    ON_COMMAND(ID_DEFAULT_HELP, &CWinApp::OnHelpFinder)
END_MESSAGE_MAP()

LauncherApp::LauncherApp() : CWinApp(nullptr)
{
    EnableHtmlHelp();
}

LauncherApp::~LauncherApp()
{
    m_parameters.release();
}

BOOL LauncherApp::InitInstance()
{
    CWinApp::InitInstance();
    SetRegistryKey("Local AppWizard-Generated Applications");

    // Before the pages make their controls: each control that shows a setting describes it, and
    // every control the keyboard reaches has its access key.
    RegisterSettingDescriptions();
    RegisterControlTexts();

    CPropertySheet sheet("Sandrel", nullptr, 0);
    MapPropPage general;
    PropPageOpenGL opengl;
    ControlsPage controls;
    CTexturePropPage texture;
    m_pMainWnd = &sheet;

    sheet.AddPage(&general);
    sheet.AddPage(&texture);
    sheet.AddPage(&opengl);
    sheet.AddPage(&controls);

    m_parameters.load("terrain.ini");
    transferToPages(m_parameters, pageFields(general, opengl, texture, controls));

    const std::intptr_t result = sheet.DoModal();

    // The sheet has gone: with no main window left, nothing ends the application while one of
    // the messages below waits for the user.
    m_pMainWnd = nullptr;

    m_exitStatus = ExitDone;
    if (result == IDOK) {
        if (!writeSettingsFile("terrain.ini", general, opengl, texture, controls)) {
            TellCaller("couldn't write terrain.ini");
            m_exitStatus = ExitSaveFailed;
            fw::MessageBoxA(nullptr, "couldn't write configuration", "error", MB_SYSTEMMODAL);
        } else {
            fw::STARTUPINFOA startupInfo{};
            startupInfo.cb = static_cast<DWORD>(sizeof startupInfo);
            fw::PROCESS_INFORMATION processInfo{};
            if (!fw::CreateProcessA("Quellmark.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                    &startupInfo, &processInfo)) {
                TellCaller("couldn't start Quellmark.exe");
                m_exitStatus = ExitStartFailed;
                fw::MessageBoxA(nullptr, "couldn't start engine", "error", MB_SYSTEMMODAL);
            }
        }
    }
    return FALSE;
}

int LauncherApp::ExitInstance() { return m_exitStatus; }

void LauncherApp::OnHelp()
{
    fw::HtmlHelpA(nullptr, "Sandrel.chm::/welcome.htm", HH_DISPLAY_TOPIC, 0);
}
