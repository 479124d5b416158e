// The application object: the one pass of a run, from the settings to the engine start.
#pragma once

#include "framework/core/winapp.h"
#include "settings/parameter_table.h"

class LauncherApp : public CWinApp {
public:
    LauncherApp();
    ~LauncherApp() override;

    BOOL InitInstance() override;
    void OnHelp();

    ParameterTable m_parameters;

protected:
    DECLARE_MESSAGE_MAP()
};
