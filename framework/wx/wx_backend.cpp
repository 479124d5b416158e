// The wxWidgets backend: runs the sheet's window, the file dialog and the help viewer.
#include "framework/wx/wx_backend.h"

#include <unistd.h>

#include <climits>
#include <string>

#include <wx/filedlg.h>

#include "framework/core/filedlg.h"
#include "framework/core/propsheet.h"
#include "framework/wx/control_widgets.h"
#include "framework/wx/help_viewer.h"
#include "framework/wx/message_box.h"
#include "framework/wx/sheet_dialog.h"

namespace fw::wxui {

WxBackend::WxBackend() : m_previousBackend(SetBackend(this)), m_previousSink(SetMessageBoxSink(WxMessageBoxSink())) {}

WxBackend::~WxBackend()
{
    // The help window belongs to the run: it closes with the launcher.
    CloseHelp();
    SetMessageBoxSink(m_previousSink);
    SetBackend(m_previousBackend);
}

int WxBackend::RunSheet(CPropertySheet& sheet)
{
    SheetDialog dialog(sheet);
    return dialog.Run();
}

std::string WildcardOf(const CFileDialog& dialog)
{
    std::string wildcard;
    for (const CFileDialog::FilterEntry& entry : dialog.FilterEntries()) {
        if (!wildcard.empty())
            wildcard += '|';
        wildcard += entry.description.str() + "|" + entry.pattern.str();
    }
    return wildcard.empty() ? std::string("*") : wildcard;
}

int WxBackend::RunFileDialog(CFileDialog& dialog)
{
    long style = dialog.m_bOpenFileDialog ? wxFD_OPEN : (wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if ((dialog.m_flags & OFN_FILEMUSTEXIST) != 0)
        style |= wxFD_FILE_MUST_EXIST;
    const wxString initial = dialog.m_hasInitialFileName ? ToWx(dialog.m_initialFileName.str()) : wxString();
    // The chooser starts in the current directory, unless the program names another, and must
    // leave the current directory where it was.
    char cwd[PATH_MAX];
    const bool haveCwd = getcwd(cwd, sizeof cwd) != nullptr;
    wxWindow* parent = RunningSheet();
    const wxString folder = dialog.m_ofn.lpstrInitialDir != nullptr ? ToWx(dialog.m_ofn.lpstrInitialDir)
                            : haveCwd                               ? ToWx(cwd)
                                                                    : wxString();
    wxFileDialog chooser(parent, dialog.m_bOpenFileDialog ? "Open" : "Save As", folder, initial,
                         ToWx(WildcardOf(dialog)), style);
    const int answer = chooser.ShowModal();
    if (haveCwd)
        (void)!chdir(cwd);
    if (answer != wxID_OK)
        return IDCANCEL;
    const wxString path = chooser.GetPath();
    dialog.SetChosenPath(path.fn_str());
    return IDOK;
}

bool WxBackend::ShowHelp(const char* file, const char* topic)
{
    return ShowHelpTopic(file != nullptr ? file : "", topic != nullptr ? topic : "");
}

} // namespace fw::wxui
