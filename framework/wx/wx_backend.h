// The wxWidgets backend of the framework layer: the sheet, the file dialog, the help viewer and
// the message boxes on screen.
#pragma once

#include <string>

#include "framework/core/backend.h"
#include "framework/core/filedlg.h"
#include "framework/core/msgbox.h"

namespace fw::wxui {

// Installing it makes it the backend and the message-box sink; destroying it puts the previous
// ones back. wx must be initialised while it is in use.
class WxBackend : public Backend {
public:
    WxBackend();
    ~WxBackend() override;
    WxBackend(const WxBackend&) = delete;
    WxBackend& operator=(const WxBackend&) = delete;

    int RunSheet(CPropertySheet& sheet) override;
    int RunFileDialog(CFileDialog& dialog) override;
    bool ShowHelp(const char* file, const char* topic) override;

private:
    Backend* m_previousBackend;
    MessageBoxSink m_previousSink;
};

// The wildcard of a file dialog's filter in wx's notation: "Bitmaps (*.bmp)|*.bmp".
std::string WildcardOf(const CFileDialog& dialog);

} // namespace fw::wxui
