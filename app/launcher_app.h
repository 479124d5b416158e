// The application object: the one pass of a run, from the settings to the engine start.
#pragma once

#include "framework/core/winapp.h"
#include "settings/parameter_table.h"

// The process's exit status after the sheet: what a script or a game frontend that started the
// launcher is told. 2 is the program's own for a missing display.
enum LauncherExitStatus : int {
    ExitDone = 0,         // Cancel, or OK with terrain.ini written and the engine started
    ExitSaveFailed = 3,   // "couldn't write configuration"
    ExitStartFailed = 4,  // "couldn't start engine"
};

class LauncherApp : public CWinApp {
public:
    LauncherApp();
    ~LauncherApp() override;

    BOOL InitInstance() override;
    // The status of the last run of InitInstance.
    int ExitInstance() override;
    void OnHelp();

    ParameterTable m_parameters;

protected:
    DECLARE_MESSAGE_MAP()

private:
    int m_exitStatus = ExitDone;
};
