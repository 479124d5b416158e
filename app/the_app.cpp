// The program's one application object; the framework's start-up calls its InitInstance. The
// framework names an application after its program, so the launcher introduces itself first.
#include "app/launcher_app.h"

[[maybe_unused]] const bool kIntroduced = (IntroduceLauncher(), true);
LauncherApp theApp;
