// The pages' tooltips: asked for as each page is made, and made when the pointer first moves
// over the sheet, in one tooltip window of the sheet's.
#include "framework/win32/native_sheet_parts.h"

#include <commctrl.h>

namespace fw::win32 {
namespace {

// Tooltips wrap at this width, as a page's long static texts do.
constexpr int kToolTipWidth = 200;

} // namespace

using namespace sheet;

void NativeSheet::SetToolTip(int page, int id, const std::string& text)
{
    if (Control(page, id) == nullptr || text.empty())
        return;
    m_pendingToolTips.push_back({page, id, text});
}

void NativeSheet::MakeToolTips()
{
    if (m_pendingToolTips.empty())
        return;
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

} // namespace fw::win32
