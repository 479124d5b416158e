// The sheet's native window: a dialog holding a tab control, the page dialogs made from the
// program's dialog resources, and OK, Cancel and Help. Tab changes, the buttons and the sheet's
// keys are reported upwards, never acted on here: the layer's protocol decides each of them.
#include "framework/win32/native.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <memory>
#include <utility>

#include "framework/win32/native_accessible.h"
#include "framework/win32/native_system.h"

namespace fw::win32 {
namespace {

constexpr UINT kDeferredTab = WM_APP + 1;
// The system makes a timer's message only once nothing else waits, paints included: when it
// comes, the screen is drawn.
constexpr UINT_PTR kToolTipsTimer = 1;
constexpr int kHelpButton = 9; // IDHELP
constexpr int kTabControl = 0x3020;
// Layout in dialog units, as the platform's own property sheet spaces its parts.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
// Tooltips wrap at this width, as a page's long static texts do.
constexpr int kToolTipWidth = 200;

HWND H(Handle handle) { return static_cast<HWND>(handle); }

// Text the layer sets must not come back to it as the user's editing.
int g_settingText = 0;

struct PageContext {
    NativeSheet* sheet;
    int index;
};
std::vector<std::unique_ptr<PageContext>> g_contexts;

void PushDword(std::vector<WORD>& out, DWORD value)
{
    out.push_back(LOWORD(value));
    out.push_back(HIWORD(value));
}

void PushText(std::vector<WORD>& out, const std::string& text)
{
    for (wchar_t c : Wide(text))
        out.push_back(static_cast<WORD>(c));
    out.push_back(0);
}

// The sheet's own dialog template: no controls, and the pages' font as their templates ask for
// it (FONT 8, "MS Shell Dlg", 400, 0, 0x1 with DS_SHELLFONT), so that Windows maps both to the
// shell font and the tabs and buttons match the pages. DS_FIXEDSYS takes effect only in an
// extended template.
std::vector<WORD> SheetTemplate(const std::string& caption)
{
    std::vector<WORD> t;
    t.reserve(64 + caption.size());
    t.push_back(1);      // dlgVer
    t.push_back(0xFFFF); // signature: DLGTEMPLATEEX
    PushDword(t, 0);     // helpID
    PushDword(t, WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME);
    PushDword(t, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME | DS_SHELLFONT | DS_3DLOOK);
    t.push_back(0);                    // no controls
    for (const WORD extent : {WORD{0}, WORD{0}, WORD{10}, WORD{10}}) // sized once the pages are known
        t.push_back(extent);
    t.push_back(0);                    // no menu
    t.push_back(0);                    // the dialog class
    PushText(t, caption);
    t.push_back(8);                    // points
    t.push_back(FW_NORMAL);            // weight
    t.push_back(DEFAULT_CHARSET << 8); // not italic; the charset
    PushText(t, "MS Shell Dlg");
    return t;
}

// The program's icon, as Explorer shows it: the first icon group of the module, at the size
// asked for (the current DPI's, from the system metrics). nullptr when there is none.
HICON ProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric)
{
    struct FirstName {
        LPSTR id = nullptr;
        std::string text; // a name given as text lives only as long as the enumeration
    } first;
    EnumResourceNamesA(
        instance, MAKEINTRESOURCEA(14), // RT_GROUP_ICON
        [](HMODULE, LPCSTR, LPSTR name, LONG_PTR found) -> BOOL {
            auto* out = reinterpret_cast<FirstName*>(found);
            if (IS_INTRESOURCE(name))
                out->id = name;
            else
                out->text = name;
            return FALSE;
        },
        reinterpret_cast<LONG_PTR>(&first));
    if (first.id == nullptr && first.text.empty())
        return nullptr;
    return static_cast<HICON>(LoadImageA(instance, first.id != nullptr ? first.id : first.text.c_str(), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0));
}

// The size a dialog resource asks for, in dialog units.
SIZE TemplateSize(HINSTANCE instance, int id)
{
    SIZE size{0, 0};
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)); // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes == nullptr || SizeofResource(instance, found) < 26)
        return size;
    const auto word = [bytes](size_t at) { return static_cast<short>(bytes[at] | (bytes[at + 1] << 8)); };
    // DIALOGEX starts with version 1 and signature 0xFFFF; the classic header has no such pair.
    const bool extended = word(0) == 1 && word(2) == -1;
    size.cx = word(extended ? 22 : 14);
    size.cy = word(extended ? 24 : 16);
    return size;
}

// The character after a caption's access-key marker ('&', not "&&"), or 0.
char AccessKeyOf(const std::string& marked)
{
    for (std::size_t i = 0; i + 1 < marked.size(); ++i) {
        if (marked[i] != '&')
            continue;
        if (marked[i + 1] != '&')
            return marked[i + 1];
        ++i;
    }
    return 0;
}

// The keys are the program's own, ASCII: letters match in either case.
bool SameKey(WPARAM typed, char key)
{
    return key != 0 && typed < 0x80 &&
           std::toupper(static_cast<int>(typed)) == std::toupper(static_cast<unsigned char>(key));
}

bool IsTrackbar(HWND window)
{
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, TRACKBAR_CLASSA) == 0;
}

bool IsPushButton(HWND window)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "Button") != 0)
        return false;
    const LONG_PTR type = GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Pages inside a tab control take its themed background where the platform has themes.
void UseTabBackground(HWND page)
{
    using EnableTexture = HRESULT(WINAPI*)(HWND, DWORD);
    static const auto enable = SystemFunction<EnableTexture>("uxtheme.dll", "EnableThemeDialogTexture");
    if (enable != nullptr)
        enable(page, 6); // ETDT_ENABLETAB
}

// What a control draws beside its caption, in pixels.
struct BesideCaption {
    int checkBox; // the box
    int pushButton; // the edges
};

// The room a one-line caption needs in its control's font, measured on `dc`, what the control
// draws beside the text included; 0 for a control whose text may wrap or that shows no caption.
int CaptionNeeds(HWND control, const RECT& client, HDC dc, const BesideCaption& besides)
{
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    int beside = 0;
    if (lstrcmpiA(name, "Button") == 0) {
        const LONG_PTR type = style & BS_TYPEMASK;
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
            beside = besides.checkBox;
        else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            beside = besides.pushButton;
        else
            return 0;
    } else if (lstrcmpiA(name, "Static") != 0 || (style & SS_TYPEMASK) != SS_LEFT) {
        return 0;
    }
    char text[256] = {};
    const int length = GetWindowTextA(control, text, sizeof text);
    if (length <= 0)
        return 0;
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent{0, 0};
    GetTextExtentPoint32A(dc, text, length, &extent);
    SelectObject(dc, before);
    // A static text two lines high or more is meant to wrap.
    return client.bottom >= 2 * extent.cy ? 0 : extent.cx + beside;
}

// The templates' captions were fitted to the dialog font at 96 DPI; at other DPIs the font's
// hinting can make a caption a pixel or two wider than its control, which would wrap or cut it.
// Such a control grows to the right by what its caption needs, where no other control is.
void FitCaptions(HWND page, const std::vector<Handle>& children)
{
    std::vector<std::pair<HWND, RECT>> controls;
    for (Handle handle : children) {
        HWND child = H(handle);
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        controls.emplace_back(child, r);
    }
    // One memory DC and one reading of the metrics for all: the DC measures text as the
    // screen does, without asking the system for each control's own.
    HDC dc = CreateCompatibleDC(nullptr);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    const BesideCaption besides{GetSystemMetrics(SM_CXMENUCHECK) + edge, 2 * edge};
    for (auto& [control, rect] : controls) {
        RECT client{};
        GetClientRect(control, &client);
        const int needs = CaptionNeeds(control, client, dc, besides);
        if (needs <= client.right)
            continue;
        RECT grown = rect;
        grown.right += needs - client.right;
        const bool free = std::none_of(controls.begin(), controls.end(), [&](const auto& other) {
            RECT overlap{};
            return other.first != control && IntersectRect(&overlap, &grown, &other.second) &&
                   !IntersectRect(&overlap, &rect, &other.second); // a group box around it, say
        });
        if (free) {
            rect = grown;
            SetWindowPos(control, nullptr, 0, 0, grown.right - grown.left, grown.bottom - grown.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    DeleteDC(dc);
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
    case kDeferredTab:
        sheet->OnDeferredTab(static_cast<int>(wParam));
        return TRUE;
    case WM_TIMER:
        if (wParam != kToolTipsTimer)
            return FALSE;
        sheet->MakeToolTips();
        return TRUE;
    case WM_CLOSE:
        sheet->OnSheetCommand(IDCANCEL);
        return TRUE;
    case WM_ACTIVATE:
        // Activated while still hidden, by Show giving the tab strip the focus: the dialog
        // manager would first give it to the page's first control, for a moment. Later
        // activations restore the focus where the user left it, as dialogs do.
        return LOWORD(wParam) != WA_INACTIVE && !IsWindowVisible(window) ? TRUE : FALSE;
    default:
        return FALSE;
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
            context->sheet->OnPageCommand(context->index, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
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
    default:
        return FALSE;
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
    m_window = CreateDialogIndirectParamA(static_cast<HINSTANCE>(m_instance),
                                          reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), nullptr, SheetProc,
                                          reinterpret_cast<LPARAM>(this));
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
                                       WS_CHILD | WS_VISIBLE | WS_TABSTOP | buttons[i].style,
                                       0, 0, 10, 10, H(m_window),
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

void NativeSheet::Layout()
{
    const auto pixels = [this](int x, int y) {
        RECT r{0, 0, x, y};
        MapDialogRect(H(m_window), &r);
        return SIZE{r.right, r.bottom};
    };
    // Every page fits the tab's display area, sized for the largest.
    SIZE page{0, 0};
    for (const PageInfo& info : m_pages) {
        const SIZE units = TemplateSize(static_cast<HINSTANCE>(m_instance), info.templateId);
        const SIZE size = pixels(units.cx, units.cy);
        page.cx = std::max(page.cx, size.cx);
        page.cy = std::max(page.cy, size.cy);
    }
    const SIZE margin = pixels(kMargin, kMargin);
    RECT tabs{margin.cx, margin.cy, margin.cx + page.cx, margin.cy + page.cy};
    SendMessageA(H(m_tabs), TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&tabs));
    OffsetRect(&tabs, margin.cx - tabs.left, margin.cy - tabs.top);
    SetWindowPos(H(m_tabs), nullptr, tabs.left, tabs.top, tabs.right - tabs.left, tabs.bottom - tabs.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    const SIZE button = pixels(kButtonWidth, kButtonHeight);
    const SIZE gap = pixels(kButtonGap, kButtonGap);
    const int width = tabs.right + margin.cx;
    const int buttonsTop = tabs.bottom + margin.cy;
    int x = width - margin.cx - 3 * button.cx - 2 * gap.cx;
    for (Handle b : m_buttons) {
        SetWindowPos(H(b), nullptr, x, buttonsTop, button.cx, button.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        x += button.cx + gap.cx;
    }
    RECT frame{0, 0, width, buttonsTop + button.cy + margin.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(H(m_window), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(H(m_window), GWL_EXSTYLE)));
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    // Centred on the work area, as a dialog with DS_CENTER would be.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(H(m_window), nullptr, work.left + std::max(0L, (work.right - work.left - frameWidth) / 2),
                 work.top + std::max(0L, (work.bottom - work.top - frameHeight) / 2), frameWidth, frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool NativeSheet::CreatePage(int index)
{
    if (m_window == nullptr || index < 0 || index >= static_cast<int>(m_pages.size()))
        return false;
    if (m_pageWindows[static_cast<size_t>(index)] != nullptr)
        return true;
    g_contexts.push_back(std::make_unique<PageContext>(PageContext{this, index}));
    HWND page = CreateDialogParamA(static_cast<HINSTANCE>(m_instance),
                                   MAKEINTRESOURCEA(m_pages[static_cast<size_t>(index)].templateId), H(m_window),
                                   PageProc, reinterpret_cast<LPARAM>(g_contexts.back().get()));
    if (page == nullptr) {
        g_contexts.pop_back();
        return false;
    }
    // The templates are property-page templates: a disabled child with a caption, which the
    // sheet turns into a plain child that shares the sheet's keyboard navigation.
    LONG_PTR style = GetWindowLongPtrA(page, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(WS_CAPTION | WS_POPUP | WS_DISABLED | WS_SYSMENU | WS_THICKFRAME)) |
            WS_CHILD | DS_CONTROL;
    SetWindowLongPtrA(page, GWL_STYLE, style);
    SetWindowLongPtrA(page, GWL_EXSTYLE, GetWindowLongPtrA(page, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    EnableWindow(page, TRUE);
    UseTabBackground(page);
    // The dialog makes its controls in its resource's order; texts without an identifier are
    // told apart by nothing else.
    auto& controls = m_pageControls[static_cast<size_t>(index)];
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);
    FitCaptions(page, controls);

    RECT area{};
    GetWindowRect(H(m_tabs), &area);
    MapWindowPoints(nullptr, H(m_window), reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(H(m_tabs), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    // Above the tab control, which clips itself around its pages.
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    m_pageWindows[static_cast<size_t>(index)] = page;
    return true;
}

void NativeSheet::SetToolTip(int page, int id, const std::string& text)
{
    if (Control(page, id) == nullptr || text.empty())
        return;
    if (m_pendingToolTips.empty())
        SetTimer(H(m_window), kToolTipsTimer, USER_TIMER_MINIMUM, nullptr);
    m_pendingToolTips.push_back({page, id, text});
}

void NativeSheet::MakeToolTips()
{
    if (m_pendingToolTips.empty())
        return;
    KillTimer(H(m_window), kToolTipsTimer);
    if (m_toolTips == nullptr) {
        m_toolTips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, H(m_window), nullptr,
                                     static_cast<HINSTANCE>(m_instance), nullptr);
        if (m_toolTips == nullptr)
            return;
        RECT width{0, 0, kToolTipWidth, 0};
        MapDialogRect(H(m_window), &width);
        SendMessageA(H(m_toolTips), TTM_SETMAXTIPWIDTH, 0, width.right);
    }
    for (PendingToolTip& tip : m_pendingToolTips) {
        // The tooltip control keeps its own copy of the text; subclassing the control lets it see
        // the pointer arrive and leave without the page relaying mouse messages.
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = H(Page(tip.page));
        tool.uId = reinterpret_cast<UINT_PTR>(Control(tip.page, tip.id));
        tool.lpszText = tip.text.data();
        SendMessageA(H(m_toolTips), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    m_pendingToolTips.clear();
}

void NativeSheet::SetAccessibleTexts(int page, int id, const std::string& name, const std::string& description,
                                     char key)
{
    HWND control = H(Control(page, id));
    if (control == nullptr)
        return;
    wchar_t given[256] = {};
    const bool named = IsPushButton(control) && LoadStringW(static_cast<HINSTANCE>(m_instance), static_cast<UINT>(id),
                                                            given, static_cast<int>(std::size(given))) > 0;
    ReadForScreenReaders(control, named ? std::wstring(given) : Wide(name), description, key);
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

void NativeSheet::OrderControls(int page, const std::vector<std::size_t>& order, const std::vector<bool>& startsGroup)
{
    HWND previous = HWND_TOP;
    for (const std::size_t i : order) {
        HWND control = H(ControlAt(page, i));
        if (control == nullptr)
            continue;
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        if (i < startsGroup.size() && startsGroup[i])
            SetWindowLongPtrA(control, GWL_STYLE, GetWindowLongPtrA(control, GWL_STYLE) | WS_GROUP);
        previous = control;
    }
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

bool NativeSheet::HandleSheetKey(const void* message)
{
    const MSG& msg = *static_cast<const MSG*>(message);
    // Most messages are no key; which window a key is for takes asking the system.
    if (msg.message != WM_SYSCHAR && msg.message != WM_KEYDOWN)
        return false;
    if (msg.hwnd != H(m_window) && !IsChild(H(m_window), msg.hwnd))
        return false;
    // Alt and a tab's key opens that tab, as a click on it would (the tab control knows no
    // access keys); the dialog manager finds the page's keys and the buttons' itself.
    if (msg.message == WM_SYSCHAR) {
        for (std::size_t i = 0; i < m_tabKeys.size(); ++i) {
            if (SameKey(msg.wParam, m_tabKeys[i])) {
                if (static_cast<int>(i) != m_shown)
                    m_input.TabRequested(static_cast<int>(i));
                return true;
            }
        }
        return false;
    }
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    const int count = static_cast<int>(m_pages.size());
    const auto step = [this, count](int by) {
        if (count > 0)
            m_input.TabRequested(((m_shown + by) % count + count) % count);
    };
    if (alt)
        return false;
    switch (msg.wParam) {
    case VK_TAB:
        if (!control)
            return false;
        step(shift ? -1 : 1);
        return true;
    case VK_NEXT:
    case VK_PRIOR:
        if (!control || shift)
            return false;
        step(msg.wParam == VK_NEXT ? 1 : -1);
        return true;
    case VK_F1:
        if (control || shift)
            return false;
        m_input.HelpPressed();
        return true;
    case VK_ESCAPE:
        if (control || shift)
            return false;
        m_input.CancelPressed();
        return true;
    case VK_RETURN:
        if (control || shift)
            return false;
        if (IsPushButton(msg.hwnd)) {
            // Enter presses the focused push button: the click goes to the button's own dialog,
            // a page or the sheet. The dialog manager would send it to the sheet, and only for
            // the default button.
            SendMessageA(GetParent(msg.hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(msg.hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(msg.hwnd));
            return true;
        }
        m_input.OkPressed();
        return true;
    default:
        return false;
    }
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
    case EN_SETFOCUS:
        m_input.FocusEntered(page, id);
        break;
    case BN_CLICKED: {
        const LONG_PTR type = GetWindowLongPtrA(H(control), GWL_STYLE) & BS_TYPEMASK;
        const bool checkBox = type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTO3STATE ||
                              type == BS_3STATE || type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON;
        m_input.ButtonClicked(page, id, checkBox ? GetCheck(control) : -1);
        break;
    }
    default:
        break;
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
