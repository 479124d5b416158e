// The property sheet's window: a dialog with a notebook of the pages and OK, Cancel and Help.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "framework/core/propsheet.h"
#include "framework/wx/control_widgets.h"

class wxButton;
class wxNotebook;
class wxBookCtrlEvent;
class wxPanel;

namespace fw::wxui {

// Dialog base units of a window's font: the average width of the letters and the line height.
DialogBaseUnits BaseUnitsOf(const wxWindow& window);
// The units widened, if need be, so that every one-line caption of the templates fits its
// control in the window's font.
DialogBaseUnits FitCaptions(wxWindow& window, DialogBaseUnits units,
                            const std::vector<const DialogTemplate*>& templates);

class SheetDialog : public wxDialog, public SheetView {
public:
    // Sets the dialog base units from the dialog's font; the pages are built on them.
    explicit SheetDialog(CPropertySheet& sheet);
    ~SheetDialog() override;

    // Opens the sheet and runs it modally; IDOK, IDCANCEL, or -1 when it could not open.
    int Run();

    void PageCreated(int index) override;
    void ActivePageChanged(int index) override;

    // What the user's clicks and keys ask for; each goes through the sheet's protocol.
    void RequestPage(int index);
    void StepPage(int step);
    void PressOK();
    void PressCancel();
    void PressHelp();

    // The widget of a control on a page whose window exists; nullptr otherwise.
    ControlWidget* WidgetOf(int page, int id) const;
    wxNotebook* Notebook() const { return m_notebook; }
    wxPanel* PagePanel(int index) const;
    // Runs the drawing the input caused, then ends the modal loop if the sheet has ended.
    void Settle();

private:
    void AfterInput();
    void FitPages();
    void MarkTab(int index, const std::string& marked);
    void OnPageChanging(wxBookCtrlEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);

    CPropertySheet& m_sheet;
    wxNotebook* m_notebook = nullptr;
    std::vector<wxPanel*> m_panels;
    std::vector<std::vector<std::unique_ptr<ControlWidget>>> m_widgets;
    bool m_settlePending = false;
};

// The sheet being shown, for windows that place themselves beside it; nullptr when none.
SheetDialog* RunningSheet();

} // namespace fw::wxui
