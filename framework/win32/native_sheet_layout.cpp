// The sheet's layout: the tab control, the pages and the buttons placed in dialog units as the
// platform's own property sheet spaces them, each page on the tab's themed background, and the
// pages' captions fitted to the font at the screen's DPI.
#include "framework/win32/native_sheet_parts.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "framework/win32/native_system.h"

namespace fw::win32 {
namespace sheet {
namespace {

// Layout in dialog units, as the platform's own property sheet spaces its parts.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;

// What a control draws beside its caption, in pixels.
struct BesideCaption {
    int checkBox;   // the box
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
    int length = GetWindowTextA(control, text, sizeof text);
    if (length <= 0)
        return 0;
    // The access key's marker is not drawn; "&&" draws one "&".
    if (lstrcmpiA(name, "Button") == 0 || (style & SS_NOPREFIX) == 0) {
        int kept = 0;
        for (int i = 0; i < length; ++i) {
            if (text[i] == '&' && i + 1 < length)
                ++i;
            text[kept++] = text[i];
        }
        length = kept;
    }
    HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent{0, 0};
    GetTextExtentPoint32A(dc, text, length, &extent);
    SelectObject(dc, before);
    // A static text two lines high or more is meant to wrap.
    return client.bottom >= 2 * extent.cy ? 0 : extent.cx + beside;
}

} // namespace

// Pages inside a tab control take its themed background where the platform has themes.
void UseTabBackground(HWND page)
{
    using EnableTexture = HRESULT(WINAPI*)(HWND, DWORD);
    static const auto enable = SystemFunction<EnableTexture>("uxtheme.dll", "EnableThemeDialogTexture");
    if (enable != nullptr)
        enable(page, 6); // ETDT_ENABLETAB
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

} // namespace sheet

using namespace sheet;

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

} // namespace fw::win32
