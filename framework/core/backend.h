// What a backend provides to the layer: the modal loop of a sheet, the file dialog and the help
// viewer. Message boxes are installed separately, through SetMessageBoxSink.
#pragma once

#include <cstdint>

class CPropertySheet;
class CFileDialog;

namespace fw {

class Backend {
public:
    virtual ~Backend() = default;
    // Runs the sheet modally: opens it (CPropertySheet::Open), feeds it the user's input and
    // returns when it has ended. Returns IDOK, IDCANCEL, or -1 when it could not be shown.
    virtual int RunSheet(CPropertySheet& sheet) = 0;
    // Runs a file dialog modally; sets the chosen path and returns IDOK, or IDCANCEL.
    virtual int RunFileDialog(CFileDialog& dialog) = 0;
    // Shows a topic of a help file; false when there is no viewer or no such file.
    virtual bool ShowHelp(const char* file, const char* topic) = 0;
};

// The backend in use; nullptr before one is installed.
Backend* GetBackend();
// Installs a backend and returns the one installed before.
Backend* SetBackend(Backend* backend);

} // namespace fw
