// Windows and controls: the framework's calls, carried out on the control model.
#include "framework/core/cwnd.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>

#include "framework/core/control.h"
#include "framework/core/page_window.h"

const CRuntimeClass CCmdTarget::classCCmdTarget = {"CCmdTarget", nullptr};
const CRuntimeClass* CCmdTarget::GetRuntimeClass() const { return &classCCmdTarget; }

const fw::MessageMap* CCmdTarget::GetThisMessageMap()
{
    static const fw::MessageMapEntry entries[] = {{0, 0, 0, nullptr}};
    static const fw::MessageMap map = {nullptr, entries};
    return &map;
}

const fw::MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

bool CCmdTarget::OnCmdMsg(UINT message, UINT code, int id, NMHDR* header, LRESULT* result)
{
    for (const fw::MessageMap* map = GetMessageMap(); map != nullptr;
         map = map->base != nullptr ? map->base() : nullptr) {
        for (const fw::MessageMapEntry* entry = map->entries; entry->invoke != nullptr; ++entry) {
            if (entry->message == message && entry->code == code && entry->id == id) {
                entry->invoke(this, header, result);
                return true;
            }
        }
    }
    return false;
}

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

CWnd::~CWnd()
{
    if (m_control != nullptr)
        m_control->Detach(this);
}

void CWnd::GetWindowText(CString& text) const { text = m_control != nullptr ? m_control->Text().c_str() : ""; }

CString CWnd::GetWindowText() const
{
    CString text;
    GetWindowText(text);
    return text;
}

void CWnd::SetWindowText(const char* text)
{
    if (m_control != nullptr)
        m_control->SetText(text != nullptr ? text : "");
}

void CWnd::SetAccessibleDescription(const char* text)
{
    if (m_control != nullptr)
        m_control->SetAccessibleDescription(text != nullptr ? text : "");
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    fw::Control* c = m_control;
    if (c == nullptr)
        return 0;
    const auto clampToInt = [](LPARAM v) {
        return static_cast<int>(v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : v));
    };
    switch (message) {
    case TBM_GETPOS: return c->Pos();
    case TBM_GETRANGEMIN: return c->RangeMin();
    case TBM_GETRANGEMAX: return c->RangeMax();
    case TBM_SETPOS: c->SetPos(clampToInt(lParam), wParam != 0); return 0;
    case TBM_SETRANGEMIN: c->SetRangeMin(clampToInt(lParam), wParam != 0); return 0;
    case TBM_SETRANGEMAX: c->SetRangeMax(clampToInt(lParam), wParam != 0); return 0;
    case STM_SETIMAGE:
        if (wParam != IMAGE_BITMAP)
            return 0;
        return reinterpret_cast<LRESULT>(c->SetBitmap(reinterpret_cast<HBITMAP>(lParam)));
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(c->Bitmap());
    case EM_LIMITTEXT: c->SetLimit(static_cast<int>(wParam)); return 0;
    case EM_SETSEL:
        if (static_cast<std::intptr_t>(wParam) == -1)
            c->SetSelection(c->Text().size(), c->Text().size());
        else
            c->SetSelection(wParam, lParam < 0 ? c->Text().size() : static_cast<size_t>(lParam));
        return 0;
    case BM_GETCHECK: return c->Check();
    case BM_SETCHECK: c->SetCheck(static_cast<int>(wParam)); return 0;
    default: return 0;
    }
}

void CWnd::GetClientRect(CRect* rect) const
{
    if (rect == nullptr)
        return;
    *rect = CRect{};
    if (m_control != nullptr) {
        rect->right = fw::DialogUnitsToPixelsX(m_control->Template().cx);
        rect->bottom = fw::DialogUnitsToPixelsY(m_control->Template().cy);
    }
}

void CWnd::SetFocus()
{
    if (m_control != nullptr)
        m_control->RequestFocus();
}

CWnd* CWnd::GetDlgItem(int id) const
{
    fw::PageWindow* window = GetPageWindow();
    fw::Control* control = window != nullptr ? window->Find(id) : nullptr;
    return control != nullptr ? &control->Window() : nullptr;
}

void CWnd::SetDlgItemText(int id, const char* text)
{
    if (CWnd* item = GetDlgItem(id))
        item->SetWindowText(text);
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned)
{
    const std::string text = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
    SetDlgItemText(id, text.c_str());
}

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const
{
    if (translated != nullptr)
        *translated = FALSE;
    CWnd* item = GetDlgItem(id);
    if (item == nullptr)
        return 0;
    const std::string text = item->GetWindowText().str();
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (isSigned && i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    const size_t digitsStart = i;
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i] - '0');
        if (value > (isSigned ? 2147483648LL : 4294967295LL))
            return 0;
        ++i;
    }
    if (i == digitsStart)
        return 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i != text.size())
        return 0;
    if (negative)
        value = -value;
    if (isSigned && value > INT_MAX)
        return 0;
    if (translated != nullptr)
        *translated = TRUE;
    return static_cast<UINT>(value);
}

UINT CWnd::IsDlgButtonChecked(int id) const
{
    CWnd* item = GetDlgItem(id);
    return item != nullptr && item->m_control != nullptr ? static_cast<UINT>(item->m_control->Check()) : 0;
}

void CWnd::CheckDlgButton(int id, UINT check)
{
    if (CWnd* item = GetDlgItem(id); item != nullptr && item->m_control != nullptr)
        item->m_control->SetCheck(static_cast<int>(check));
}

void CEdit::SetLimitText(UINT characters) { SendMessage(EM_LIMITTEXT, characters); }

void CEdit::SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }

int CButton::GetCheck() const { return m_control != nullptr ? m_control->Check() : 0; }

void CButton::SetCheck(int check)
{
    if (m_control != nullptr)
        m_control->SetCheck(check);
}

HBITMAP CStatic::SetBitmap(HBITMAP bitmap)
{
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

HBITMAP CStatic::GetBitmap() const { return m_control != nullptr ? m_control->Bitmap() : nullptr; }

void CSliderCtrl::SetRangeMin(int minimum, BOOL redraw) { SendMessage(TBM_SETRANGEMIN, redraw != 0, minimum); }
void CSliderCtrl::SetRangeMax(int maximum, BOOL redraw) { SendMessage(TBM_SETRANGEMAX, redraw != 0, maximum); }

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL redraw)
{
    SetRangeMin(minimum, FALSE);
    SetRangeMax(maximum, redraw);
}

int CSliderCtrl::GetRangeMin() const { return m_control != nullptr ? m_control->RangeMin() : 0; }
int CSliderCtrl::GetRangeMax() const { return m_control != nullptr ? m_control->RangeMax() : 0; }
void CSliderCtrl::SetPos(int position) { SendMessage(TBM_SETPOS, TRUE, position); }
int CSliderCtrl::GetPos() const { return m_control != nullptr ? m_control->Pos() : 0; }
