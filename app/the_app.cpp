// The program's one application object; the framework's start-up calls its InitInstance.
#include "app/launcher_app.h"

LauncherApp theApp;
