// The application object: the one pass of a run, from the settings to the engine start.
#pragma once

#include "app/page_fields.h"
#include "framework/core/winapp.h"
#include "settings/parameter_table.h"

// The process's exit status after the sheet: what a script or a game frontend that started the
// launcher is told. 2 is the program's own for a missing display.
enum LauncherExitStatus : int {
    ExitDone = 0,        // Cancel, or OK with terrain.ini written and the engine started
    ExitSaveFailed = 3,  // "couldn't write configuration", then Cancel: the settings were not saved
    ExitStartFailed = 4, // "couldn't start engine"
};

// What the launcher tells the framework of itself before its application object is made: its
// title, which the application object is named after, and its compiled dialogs and bitmaps.
void IntroduceLauncher();

class LauncherApp : public CWinApp {
public:
    LauncherApp();
    ~LauncherApp() override;

    BOOL InitInstance() override;
    // The status of the last run of InitInstance.
    int ExitInstance() override;
    // OK on the sheet: writes terrain.ini from the pages' fields while the sheet is still open.
    // When that fails the user is told, and the sheet stays open with every edit.
    BOOL SaveAllModified() override;
    void OnHelp();

    ParameterTable m_parameters;

protected:
    DECLARE_MESSAGE_MAP()

private:
    int m_exitStatus = ExitDone;
    // The fields of the pages of the sheet that runs; empty before and after.
    PageFieldTable m_pageFields{};
};
