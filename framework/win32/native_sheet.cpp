// The sheet's native window: a dialog holding a tab control, the page dialogs made from the
// program's dialog resources, and OK, Cancel and Help. Tab changes, the buttons and the sheet's
// keys are reported upwards, never acted on here: the layer's protocol decides each of them.
// This file makes the windows and pumps their messages; native_sheet_template.cpp,
// native_sheet_layout.cpp, native_sheet_keyboard.cpp and native_sheet_tooltips.cpp do the rest.
#include "framework/win32/native_sheet_parts.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace fw::win32 {
using namespace sheet;
namespace {

// Text the layer sets must not come back to it as the user's editing.
int g_settingText = 0;

struct PageContext {
    NativeSheet* sheet;
    int index;
};
std::vector<std::unique_ptr<PageContext>> g_contexts;

bool IsTrackbar(HWND window)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, TRACKBAR_CLASSA) == 0;
}

INT_PTR CALLBACK SheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
        return FALSE;
    }
    auto* sheet = reinterpret_cast<NativeSheet*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (sheet == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (lParam == 0 || HIWORD(wParam) == BN_CLICKED)
            sheet->OnSheetCommand(LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == kTabControl && header->code == TCN_SELCHANGE)
            sheet->OnTabChanged();
        return FALSE;
    }
    case kDeferredTab: sheet->OnDeferredTab(static_cast<int>(wParam)); return TRUE;
    case WM_CLOSE: sheet->OnSheetCommand(IDCANCEL); return TRUE;
    case WM_ACTIVATE:
        // Activated while still hidden, by Show giving the tab strip the focus: the dialog
        // manager would first give it to the page's first control, for a moment. Later
        // activations restore the focus where the user left it, as dialogs do.
        return LOWORD(wParam) != WA_INACTIVE && !IsWindowVisible(window) ? TRUE : FALSE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
        return FALSE; // a hidden page takes no focus
    }
    const auto* context = reinterpret_cast<const PageContext*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (context == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            context->sheet->OnPageCommand(context->index, LOWORD(wParam), HIWORD(wParam),
                                          reinterpret_cast<HWND>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam != 0) {
            context->sheet->OnPageScroll(context->index, reinterpret_cast<HWND>(lParam));
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        std::intptr_t result = 0;
        if (!context->sheet->OnPageNotify(context->index, reinterpret_cast<const void*>(lParam), result))
            return FALSE;
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
    default: return FALSE;
    }
}

} // namespace

NativeSheet::NativeSheet(SheetInput& input, Handle instance, const std::string& caption, std::vector<PageInfo> pages,
                         const std::array<std::string, 3>& buttonCaptions)
    : m_input(input), m_instance(instance), m_pages(std::move(pages)), m_pageWindows(m_pages.size(), nullptr),
      m_pageControls(m_pages.size())
{
    for (const PageInfo& page : m_pages)
        m_tabKeys.push_back(AccessKeyOf(page.title));
    const std::vector<WORD> tmpl = SheetTemplate(caption);
    m_window =
        CreateDialogIndirectParamA(static_cast<HINSTANCE>(m_instance), reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()),
                                   nullptr, SheetProc, reinterpret_cast<LPARAM>(this));
    if (m_window == nullptr)
        return;
    RECT unit{0, 0, 4, 8};
    MapDialogRect(H(m_window), &unit);
    m_units = {unit.right, unit.bottom};

    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(H(m_window), WM_GETFONT, 0, 0));
    m_tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 10, 10,
                             H(m_window), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabControl)),
                             static_cast<HINSTANCE>(m_instance), nullptr);
    SendMessageA(H(m_tabs), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (size_t i = 0; i < m_pages.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = m_pages[i].title.data();
        SendMessageA(H(m_tabs), TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    const struct {
        int id;
        DWORD style;
    } buttons[] = {{IDOK, BS_DEFPUSHBUTTON}, {IDCANCEL, BS_PUSHBUTTON}, {kHelpButton, BS_PUSHBUTTON}};
    for (int i = 0; i < 3; ++i) {
        m_buttons[i] = CreateWindowExA(0, "Button", buttonCaptions[static_cast<std::size_t>(i)].c_str(),
                                       WS_CHILD | WS_VISIBLE | WS_TABSTOP | buttons[i].style, 0, 0, 10, 10, H(m_window),
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttons[i].id)),
                                       static_cast<HINSTANCE>(m_instance), nullptr);
        SendMessageA(H(m_buttons[i]), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // The order of the sheet's windows is the order Tab walks, as in the system's property
    // sheet: the page shown (put on top as it is made, which also paints it above the tabs), OK,
    // Cancel, Help, then the tab strip last, from which Tab wraps round into the page.
    SetWindowPos(H(m_tabs), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_icons[0] = ProgramIcon(static_cast<HINSTANCE>(m_instance), SM_CXICON, SM_CYICON);
    m_icons[1] = ProgramIcon(static_cast<HINSTANCE>(m_instance), SM_CXSMICON, SM_CYSMICON);
    SendMessageA(H(m_window), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icons[0]));
    SendMessageA(H(m_window), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icons[1]));
    Layout();
}

NativeSheet::~NativeSheet()
{
    // Owned, not a child: it goes before the windows it watches.
    if (m_toolTips != nullptr)
        DestroyWindow(H(m_toolTips));
    if (m_window != nullptr)
        DestroyWindow(H(m_window)); // its pages and controls with it
    for (Handle icon : m_icons)
        if (icon != nullptr)
            DestroyIcon(static_cast<HICON>(icon));
    std::erase_if(g_contexts, [this](const auto& context) { return context->sheet == this; });
}

bool NativeSheet::CreatePage(int index, const PageShape& shape)
{
    if (m_window == nullptr || index < 0 || index >= static_cast<int>(m_pages.size()))
        return false;
    if (m_pageWindows[static_cast<size_t>(index)] != nullptr)
        return true;
    // The templates are property-page templates, a disabled child with a caption: the page is
    // made from a copy that is a plain child sharing the sheet's keyboard navigation.
    std::vector<std::size_t> made;
    const std::vector<WORD> tmpl =
        PageTemplate(static_cast<HINSTANCE>(m_instance), m_pages[static_cast<size_t>(index)].templateId, shape, made);
    if (tmpl.empty())
        return false;
    g_contexts.push_back(std::make_unique<PageContext>(PageContext{this, index}));
    HWND page =
        CreateDialogIndirectParamA(static_cast<HINSTANCE>(m_instance), reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()),
                                   H(m_window), PageProc, reinterpret_cast<LPARAM>(g_contexts.back().get()));
    if (page == nullptr) {
        g_contexts.pop_back();
        return false;
    }
    UseTabBackground(page);
    // The dialog makes its controls in its template's order, and fails if it can't make one;
    // texts without an identifier are told apart by nothing else.
    auto& controls = m_pageControls[static_cast<size_t>(index)];
    controls.assign(made.size(), nullptr);
    std::size_t k = 0;
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr && k < made.size();
         child = GetWindow(child, GW_HWNDNEXT))
        controls[made[k++]] = child;
    FitCaptions(page, controls);

    RECT area{};
    GetWindowRect(H(m_tabs), &area);
    MapWindowPoints(nullptr, H(m_window), reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(H(m_tabs), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    // Above the tab control, which clips itself around its pages.
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE | SWP_HIDEWINDOW);
    m_pageWindows[static_cast<size_t>(index)] = page;
    return true;
}

Handle NativeSheet::Page(int index) const
{
    return index >= 0 && index < static_cast<int>(m_pageWindows.size()) ? m_pageWindows[static_cast<size_t>(index)]
                                                                        : nullptr;
}

Handle NativeSheet::ControlAt(int page, std::size_t templateIndex) const
{
    if (page < 0 || page >= static_cast<int>(m_pageControls.size()))
        return nullptr;
    const auto& controls = m_pageControls[static_cast<size_t>(page)];
    return templateIndex < controls.size() ? controls[templateIndex] : nullptr;
}

Handle NativeSheet::Control(int page, int id) const
{
    // From the page's own list: GetDlgItem would ask the system for the page's children each time.
    if (page < 0 || page >= static_cast<int>(m_pageControls.size()))
        return nullptr;
    for (Handle control : m_pageControls[static_cast<size_t>(page)])
        if (GetDlgCtrlID(H(control)) == id)
            return control;
    return nullptr;
}

void NativeSheet::ShowPage(int index)
{
    HWND focus = GetFocus();
    for (size_t i = 0; i < m_pageWindows.size(); ++i)
        if (HWND page = H(m_pageWindows[i]); page != nullptr && static_cast<int>(i) != index)
            ShowWindow(page, SW_HIDE);
    if (HWND page = H(Page(index)))
        ShowWindow(page, SW_SHOW);
    SendMessageA(H(m_tabs), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    m_shown = index;
    // Focus left in a page that is now hidden goes to the tabs.
    if (focus != nullptr && !IsWindowVisible(focus) && IsChild(H(m_window), focus))
        SetFocus(H(m_tabs));
}

void NativeSheet::Show()
{
    // The sheet opens with the focus on its tab strip, as the system's own does: the page's
    // first control comes first in window order, but Enter at once is OK, not that control.
    // Given before the sheet is shown, as the dialog manager gives a dialog's first focus, the
    // activation keeps it rather than first moving it to that control.
    SetFocus(H(m_tabs));
    ShowWindow(H(m_window), SW_SHOW);
    SetForegroundWindow(H(m_window));
}

void NativeSheet::Hide()
{
    if (m_window != nullptr)
        ShowWindow(H(m_window), SW_HIDE);
}

bool NativeSheet::PumpOne()
{
    if (m_quit || m_window == nullptr)
        return false;
    MSG msg;
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        m_quit = true;
        if (got == 0)
            PostQuitMessage(static_cast<int>(msg.wParam)); // for whoever runs the next loop
        return false;
    }
    Dispatch(&msg);
    return true;
}

void NativeSheet::Dispatch(const void* message)
{
    MSG msg = *static_cast<const MSG*>(message);
    // A tooltip needs the pointer: they are made as it first moves over the sheet, before that
    // message reaches the control under it, which the tooltip window then follows.
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST && !m_pendingToolTips.empty())
        MakeToolTips();
    if (HandleSheetKey(&msg))
        return;
    if (IsDialogMessageA(H(m_window), &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void NativeSheet::PumpPending()
{
    MSG msg;
    while (!m_quit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            m_quit = true;
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(&msg);
    }
    if (!m_quit)
        MakeToolTips();
}

void NativeSheet::OnSheetCommand(int id)
{
    switch (id) {
    case IDOK: m_input.OkPressed(); break;
    case IDCANCEL: m_input.CancelPressed(); break;
    case kHelpButton: m_input.HelpPressed(); break;
    default: break;
    }
}

void NativeSheet::OnTabChanged()
{
    // The tab control has moved its selection already. Put it back: the page changes only when
    // the layer, having checked the page being left, says so.
    const int target = static_cast<int>(SendMessageA(H(m_tabs), TCM_GETCURSEL, 0, 0));
    SendMessageA(H(m_tabs), TCM_SETCURSEL, static_cast<WPARAM>(m_shown), 0);
    if (target >= 0 && target != m_shown)
        PostMessageA(H(m_window), kDeferredTab, static_cast<WPARAM>(target), 0);
}

void NativeSheet::OnDeferredTab(int index) { m_input.TabRequested(index); }

void NativeSheet::OnPageCommand(int page, int id, int code, Handle control)
{
    switch (code) {
    case EN_CHANGE:
        if (g_settingText == 0)
            m_input.EditChanged(page, id, GetText(control));
        break;
    case EN_SETFOCUS: m_input.FocusEntered(page, id); break;
    case BN_CLICKED: {
        const LONG_PTR type = GetWindowLongPtrA(H(control), GWL_STYLE) & BS_TYPEMASK;
        const bool checkBox = type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTO3STATE ||
                              type == BS_3STATE || type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON;
        m_input.ButtonClicked(page, id, checkBox ? GetCheck(control) : -1);
        break;
    }
    default: break;
    }
}

void NativeSheet::OnPageScroll(int page, Handle control)
{
    if (IsTrackbar(H(control)))
        m_input.SliderMoved(page, GetDlgCtrlID(H(control)), GetSliderPos(control));
}

bool NativeSheet::OnPageNotify(int page, const void* data, std::intptr_t& result)
{
    const auto* header = static_cast<const NMHDR*>(data);
    if (header == nullptr || header->code != static_cast<UINT>(NM_CUSTOMDRAW) || !IsTrackbar(header->hwndFrom))
        return false;
    const auto* draw = static_cast<const NMCUSTOMDRAW*>(data);
    // Asking for nothing more at the first stage means no later stage is reported.
    if (draw->dwDrawStage != CDDS_PREPAINT)
        return false;
    result = m_input.SliderDrawing(page, static_cast<int>(header->idFrom));
    return true;
}

std::string GetText(Handle control)
{
    const int length = GetWindowTextLengthA(H(control));
    std::string text(static_cast<size_t>(std::max(0, length)) + 1, '\0');
    const int got = GetWindowTextA(H(control), text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(0, got)));
    return text;
}

void SetText(Handle control, const std::string& text)
{
    ++g_settingText;
    SetWindowTextA(H(control), text.c_str());
    --g_settingText;
}

void SetEditLimit(Handle control, int characters)
{
    SendMessageA(H(control), EM_LIMITTEXT, static_cast<WPARAM>(std::max(0, characters)), 0);
}

void SetEditSelection(Handle control, std::size_t start, std::size_t end)
{
    SendMessageA(H(control), EM_SETSEL, start, static_cast<LPARAM>(end));
}

int GetCheck(Handle control) { return static_cast<int>(SendMessageA(H(control), BM_GETCHECK, 0, 0)); }

void SetCheck(Handle control, int check) { SendMessageA(H(control), BM_SETCHECK, static_cast<WPARAM>(check), 0); }

int GetSliderPos(Handle control) { return static_cast<int>(SendMessageA(H(control), TBM_GETPOS, 0, 0)); }

void SetSliderRange(Handle control, int minimum, int maximum, bool redraw)
{
    SendMessageA(H(control), TBM_SETRANGEMIN, FALSE, minimum);
    SendMessageA(H(control), TBM_SETRANGEMAX, redraw ? TRUE : FALSE, maximum);
}

void SetSliderPos(Handle control, int pos, bool redraw)
{
    SendMessageA(H(control), TBM_SETPOS, redraw ? TRUE : FALSE, pos);
}

void Focus(Handle control) { SetFocus(H(control)); }

std::uint32_t Style(Handle control) { return static_cast<std::uint32_t>(GetWindowLongPtrA(H(control), GWL_STYLE)); }

Handle ProgramInstance() { return GetModuleHandleA(nullptr); }

void InitControls()
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES;
    InitCommonControlsEx(&controls);
}

} // namespace fw::win32
