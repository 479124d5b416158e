// The options the program answers on Linux before it opens a window: --help, --version, --check.
#pragma once

#include <optional>

// The exit status when an option was the whole run; nothing when the window is to come up. Any
// other argument is ignored, with one line on standard error naming it.
std::optional<int> AnswerCommandLine(int argc, char** argv);
