// The sheet's window: builds each page's widgets when the sheet creates the page, and routes
// tab changes, OK, Cancel, Help and the sheet's keys through the sheet's protocol.
#include "framework/wx/sheet_dialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include "framework/core/access_keys.h"
#include "framework/core/control_labels.h"
#include "framework/core/page_window.h"
#include "framework/wx/gtk_calls.h"
#include "framework/wx/program_icon.h"

namespace fw::wxui {
namespace {

SheetDialog* g_running = nullptr;

// The page's template for sizing the sheet before its window exists. A page on a template of
// its own may share a number with a program resource: the caption tells them apart.
const DialogTemplate* TemplateOf(const CPropertyPage& page)
{
    if (page.HasWindow())
        return &page.GetPageWindow()->Template();
    const DialogTemplate* tmpl = FindDialogTemplate(static_cast<int>(page.TemplateId()));
    if (tmpl != nullptr && page.GetTitle().str() == (tmpl->caption != nullptr ? tmpl->caption : ""))
        return tmpl;
    return nullptr;
}

constexpr const char* kTabIndex = "sandrel-tab-index";

// Alt and a tab's key open that tab as Ctrl+PgDn does: through the sheet, which checks the page
// being left, and outside the toolkit's signal. The notebook would switch first and let wx undo
// it after the key's event, which may come after the sheet has switched.
gboolean OnTabMnemonic(GtkWidgetPtr label, gboolean /*cycling*/, gpointer dialog)
{
    auto* sheet = static_cast<SheetDialog*>(dialog);
    const int index = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(label), kTabIndex));
    sheet->CallAfter([sheet, index] { sheet->RequestPage(index); });
    return TRUE;
}

} // namespace

DialogBaseUnits BaseUnitsOf(const wxWindow& window)
{
    // The platform's rule: the average width of the 52 letters, rounded, and the font's height.
    int width = 0;
    int height = 0;
    window.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", &width, &height);
    DialogBaseUnits units;
    units.x = std::max(1, (width / 26 + 1) / 2);
    units.y = std::max(1, window.GetCharHeight());
    return units;
}

DialogBaseUnits FitCaptions(wxWindow& window, DialogBaseUnits units,
                            const std::vector<const DialogTemplate*>& templates)
{
    // The templates were laid out for a narrower font than the desktop's: widen the horizontal
    // unit until every one-line caption fits its control, keeping the layout's proportions.
    auto* probe = new wxCheckBox(&window, wxID_ANY, "M");
    const int checkExtra = std::max(0, probe->GetBestSize().GetWidth() - window.GetTextExtent("M").GetWidth());
    probe->Destroy();
    const int lineHeight = window.GetCharHeight();
    int x = units.x;
    for (const DialogTemplate* tmpl : templates) {
        for (const ControlTemplate& control : tmpl->controls) {
            if (control.caption == nullptr || control.caption[0] == '\0' || control.cx <= 0)
                continue;
            int extra = 0;
            switch (control.kind) {
            case ControlKind::Static:
                // Texts of several lines wrap instead.
                if ((control.cy * units.y + 4) / 8 >= 2 * lineHeight)
                    continue;
                break;
            case ControlKind::CheckBox: extra = checkExtra; break;
            case ControlKind::PushButton: extra = 6; break;
            case ControlKind::GroupBox: extra = 2 * lineHeight; break;
            default: continue;
            }
            const int needed = window.GetTextExtent(ToWx(control.caption)).GetWidth() + extra;
            // Pixels of cx units are (cx * x + 2) / 4: the smallest x that reaches `needed`.
            x = std::max(x, (4 * needed - 2 + control.cx - 1) / control.cx);
        }
    }
    units.x = x;
    return units;
}

SheetDialog* RunningSheet() { return g_running; }

SheetDialog::SheetDialog(CPropertySheet& sheet)
    : wxDialog(nullptr, wxID_ANY, ToWx(sheet.GetCaption().str()), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE),
      m_sheet(sheet)
{
    SetIcons(ProgramIcons());
    InstallCompactStyle();
    std::vector<const DialogTemplate*> templates;
    for (int i = 0; i < sheet.GetPageCount(); ++i)
        if (const DialogTemplate* tmpl = TemplateOf(*sheet.GetPage(i)))
            templates.push_back(tmpl);
    SetDialogBaseUnits(FitCaptions(*this, BaseUnitsOf(*this), templates));

    auto* layout = new wxBoxSizer(wxVERTICAL);
    m_notebook = new wxNotebook(this, wxID_ANY);
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        CPropertyPage& page = *sheet.GetPage(i);
        auto* panel = new wxPanel(m_notebook, wxID_ANY);
        m_panels.push_back(panel);
        m_notebook->AddPage(panel, ToWx(page.GetTitle().str()));
        MarkTab(i, MarkAccessKey(page.GetTitle().str(), FindAccessKey(static_cast<int>(page.TemplateId()), kPageTab)));
    }
    m_widgets.resize(m_panels.size());
    FitPages();
    const int margin = DialogUnitsToPixelsX(4);
    layout->Add(m_notebook, 1, wxEXPAND | wxALL, margin);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    const auto caption = [](int id, const char* text) {
        return ToWx(MarkAccessKey(text, FindAccessKey(kSheetButtons, id)));
    };
    auto* ok = new wxButton(this, wxID_OK, caption(IDOK, "OK"));
    auto* cancel = new wxButton(this, wxID_CANCEL, caption(IDCANCEL, "Cancel"));
    auto* help = new wxButton(this, wxID_HELP, caption(ID_HELP, "Help"));
    for (wxButton* button : {ok, cancel, help})
        buttons->Add(button, 0, wxLEFT, margin);
    layout->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, margin);
    ok->SetDefault();
    ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PressOK(); });
    cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PressCancel(); });
    help->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PressHelp(); });
    SetSizerAndFit(layout);

    // Escape, Enter, F1 and the tab keys belong to the sheet's protocol, not to wx's defaults.
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_CHAR_HOOK, &SheetDialog::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &SheetDialog::OnClose, this);
    m_notebook->Bind(wxEVT_NOTEBOOK_PAGE_CHANGING, &SheetDialog::OnPageChanging, this);
    m_sheet.SetView(this);
}

SheetDialog::~SheetDialog()
{
    // The widgets stop mirroring before the controls or the windows go.
    m_widgets.clear();
    // The notebook removes its pages one by one as it goes, and a screen reader that has read
    // the tabs is told of each; GTK then asks for the tab of a page already removed
    // ("gtk_notebook_get_tab_label: assertion 'list != NULL' failed"). It asks only while the
    // tabs are shown, and the sheet has closed.
    if (auto* book = reinterpret_cast<GtkWidgetPtr>(m_notebook->GetHandle()))
        gtk_notebook_set_show_tabs(GTK_NOTEBOOK(book), FALSE);
    m_sheet.SetView(nullptr);
    if (g_running == this)
        g_running = nullptr;
}

int SheetDialog::Run()
{
    if (!m_sheet.Open())
        return -1;
    g_running = this;
    FitPages();
    CentreOnScreen();
    AfterInput(); // the first page's sliders draw once it is on screen
    ShowModal();
    g_running = nullptr;
    return m_sheet.Result();
}

void SheetDialog::MarkTab(int index, const std::string& marked)
{
    // wx shows a tab's title without its access key: the tab's own label takes it.
    auto* book = reinterpret_cast<GtkWidgetPtr>(m_notebook->GetHandle());
    auto* child = reinterpret_cast<GtkWidgetPtr>(PagePanel(index)->GetHandle());
    GtkWidgetPtr tab =
        book != nullptr && child != nullptr ? gtk_notebook_get_tab_label(GTK_NOTEBOOK(book), child) : nullptr;
    if (tab == nullptr)
        return;
    GtkWidgetPtr label = GTK_IS_LABEL(tab) ? tab : nullptr;
    if (label == nullptr && GTK_IS_CONTAINER(tab)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(tab));
        for (GList* item = children; item != nullptr && label == nullptr; item = item->next)
            if (GTK_IS_LABEL(item->data))
                label = GTK_WIDGET(item->data);
        g_list_free(children);
    }
    if (label == nullptr || marked.find('&') == std::string::npos)
        return;
    gtk_label_set_text_with_mnemonic(GTK_LABEL(label), GtkMnemonic(marked).c_str());
    g_object_set_data(G_OBJECT(label), kTabIndex, GINT_TO_POINTER(index));
    g_signal_connect(label, "mnemonic-activate", G_CALLBACK(OnTabMnemonic), this);
}

void SheetDialog::FitPages()
{
    wxSize largest(0, 0);
    for (int i = 0; i < m_sheet.GetPageCount(); ++i)
        if (const DialogTemplate* tmpl = TemplateOf(*m_sheet.GetPage(i)))
            largest.IncTo(wxSize(DialogUnitsToPixelsX(tmpl->cx), DialogUnitsToPixelsY(tmpl->cy)));
    bool grew = false;
    for (wxPanel* panel : m_panels) {
        const wxSize now = panel->GetMinSize();
        if (now.GetWidth() < largest.GetWidth() || now.GetHeight() < largest.GetHeight()) {
            wxSize size = now;
            size.IncTo(largest);
            panel->SetMinSize(size);
            grew = true;
        }
    }
    if (grew && GetSizer() != nullptr)
        Fit();
}

wxPanel* SheetDialog::PagePanel(int index) const
{
    return index >= 0 && index < static_cast<int>(m_panels.size()) ? m_panels[static_cast<size_t>(index)] : nullptr;
}

void SheetDialog::PageCreated(int index)
{
    CPropertyPage* page = m_sheet.GetPage(index);
    wxPanel* panel = PagePanel(index);
    if (page == nullptr || panel == nullptr || page->GetPageWindow() == nullptr)
        return;
    PageWindow& window = *page->GetPageWindow();
    auto& widgets = m_widgets[static_cast<size_t>(index)];
    widgets.clear();
    // Made in reading order, which is the order Tab walks and screen readers read.
    const auto controls = window.Controls();
    std::vector<ControlWidget*> byIndex(controls.size(), nullptr);
    for (const std::size_t i : window.ReadingOrder()) {
        Control& control = *controls[i];
        widgets.push_back(ControlWidget::Create(
            panel, control, [this] { AfterInput(); }, control.AccessibleName()));
        byIndex[i] = widgets.back().get();
    }
    const std::vector<int> targets = LabelTargets(window.Template());
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (targets[i] >= 0 && byIndex[i] != nullptr && byIndex[static_cast<std::size_t>(targets[i])] != nullptr)
            byIndex[i]->SetMnemonicTarget(*byIndex[static_cast<std::size_t>(targets[i])]);
    FitPages();
}

void SheetDialog::ActivePageChanged(int index)
{
    if (index >= 0 && index < static_cast<int>(m_notebook->GetPageCount()) && m_notebook->GetSelection() != index)
        m_notebook->ChangeSelection(static_cast<size_t>(index)); // sends no page-changing event
}

ControlWidget* SheetDialog::WidgetOf(int page, int id) const
{
    if (page < 0 || page >= static_cast<int>(m_widgets.size()))
        return nullptr;
    for (const auto& widget : m_widgets[static_cast<size_t>(page)])
        if (widget && widget->Model().Id() == id)
            return widget.get();
    return nullptr;
}

void SheetDialog::RequestPage(int index)
{
    m_sheet.SetActivePage(index);
    // Whatever the toolkit did with the click, the notebook shows the sheet's active page.
    ActivePageChanged(m_sheet.GetActiveIndex());
    AfterInput();
}

void SheetDialog::StepPage(int step)
{
    const int count = m_sheet.GetPageCount();
    if (count == 0)
        return;
    RequestPage(((m_sheet.GetActiveIndex() + step) % count + count) % count);
}

void SheetDialog::PressOK()
{
    m_sheet.PressOK();
    AfterInput();
}

void SheetDialog::PressCancel()
{
    m_sheet.PressCancel();
    AfterInput();
}

void SheetDialog::PressHelp()
{
    m_sheet.PressHelp();
    AfterInput();
}

void SheetDialog::AfterInput()
{
    // Drawing is asynchronous: it runs once the handler of the input has returned.
    if (m_settlePending)
        return;
    m_settlePending = true;
    CallAfter([this] { Settle(); });
}

void SheetDialog::Settle()
{
    m_settlePending = false;
    RunPendingDrawing();
    if (m_sheet.Ended() && IsModal())
        EndModal(m_sheet.Result());
}

void SheetDialog::OnPageChanging(wxBookCtrlEvent& event)
{
    // The notebook never changes pages by itself: leaving a page may fail its checks and show a
    // message, which is better done outside the toolkit's own signal.
    event.Veto();
    const int target = event.GetSelection();
    CallAfter([this, target] { RequestPage(target); });
}

void SheetDialog::OnCharHook(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    const int modifiers = event.GetModifiers();
    if (modifiers == wxMOD_CONTROL || modifiers == (wxMOD_CONTROL | wxMOD_SHIFT)) {
        const bool back = (modifiers & wxMOD_SHIFT) != 0;
        if (key == WXK_TAB) {
            StepPage(back ? -1 : 1);
            return;
        }
        if (!back && (key == WXK_PAGEDOWN || key == WXK_NUMPAD_PAGEDOWN)) {
            StepPage(1);
            return;
        }
        if (!back && (key == WXK_PAGEUP || key == WXK_NUMPAD_PAGEUP)) {
            StepPage(-1);
            return;
        }
    }
    if (modifiers == wxMOD_NONE) {
        switch (key) {
        case WXK_ESCAPE: PressCancel(); return;
        case WXK_F1: PressHelp(); return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            // Enter presses the focused push button, and OK everywhere else.
            if (dynamic_cast<wxButton*>(FindFocus()) != nullptr)
                break;
            PressOK();
            return;
        default: break;
        }
    }
    event.Skip();
}

void SheetDialog::OnClose(wxCloseEvent&) { PressCancel(); }

} // namespace fw::wxui
