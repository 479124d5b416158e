// The control model's behaviour: typing limits, upper-casing, notifications, slider drawing.
#include "framework/core/control.h"

#include <algorithm>
#include <vector>

#include "framework/core/access_keys.h"
#include "framework/core/bitmap.h"
#include "framework/core/control_descriptions.h"
#include "framework/core/cwnd.h"
#include "framework/core/page_window.h"

namespace fw {
namespace {

std::vector<Control*>& PendingDraws()
{
    static std::vector<Control*> pending;
    return pending;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The bytes of the first character of text.
size_t FirstCharacterLength(std::string_view text)
{
    size_t n = 1;
    while (n < text.size() && IsContinuationByte(text[n]))
        ++n;
    return n;
}

// What a single-line edit takes of text put into it: the part before the first line break, as a
// native single-line edit keeps of a paste.
std::string_view FirstLine(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

DialogBaseUnits g_baseUnits;
bool g_nativeDrawing = false;

} // namespace

DialogBaseUnits GetDialogBaseUnits() { return g_baseUnits; }
void SetDialogBaseUnits(DialogBaseUnits units) { g_baseUnits = units; }
int DialogUnitsToPixelsX(int units) { return (units * g_baseUnits.x + 2) / 4; }
int DialogUnitsToPixelsY(int units) { return (units * g_baseUnits.y + 4) / 8; }

int CharacterCount(std::string_view text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

Control::Control(PageWindow& page, const ControlTemplate& tmpl)
    : m_page(page), m_template(tmpl), m_description(FindControlDescription(page.Template().id, tmpl.id)),
      m_accessibleDescription(m_description)
{
    if (tmpl.kind != ControlKind::Edit && tmpl.caption != nullptr)
        m_text = tmpl.caption;
}

Control::~Control()
{
    auto& pending = PendingDraws();
    pending.erase(std::remove(pending.begin(), pending.end(), this), pending.end());
    if (m_member != nullptr)
        m_member->m_control = nullptr;
    if (m_wrapper)
        m_wrapper->m_control = nullptr;
    // A picture frees the bitmap it shows when its window goes; what it showed before was handed
    // back to the caller by SetBitmap.
    if (Kind() == ControlKind::Picture && m_bitmap != nullptr)
        DeleteObject(m_bitmap);
}

CWnd& Control::Window()
{
    if (m_member != nullptr)
        return *m_member;
    if (!m_wrapper) {
        m_wrapper = std::make_unique<CWnd>();
        m_wrapper->m_control = this;
    }
    return *m_wrapper;
}

void Control::SetAccessibleDescription(std::string_view text)
{
    if (text == m_accessibleDescription)
        return;
    m_accessibleDescription = text;
    if (m_view != nullptr)
        m_view->AccessibleDescriptionChanged(*this);
}

std::string Control::MarkedText() const { return MarkAccessKey(m_text, m_accessKey); }

void Control::SetText(std::string_view text)
{
    if (text == m_text)
        return;
    ChangeText(std::string(text), text.size());
}

void Control::ChangeText(std::string text, size_t caret)
{
    m_text = std::move(text);
    m_selStart = m_selEnd = std::min(caret, m_text.size());
    if (m_view != nullptr)
        m_view->TextChanged(*this);
    if (Kind() == ControlKind::Edit)
        NotifyEdit();
}

void Control::NotifyEdit()
{
    m_page.Notify(*this, WM_COMMAND, EN_UPDATE);
    m_page.Notify(*this, WM_COMMAND, EN_CHANGE);
}

void Control::SetSelection(size_t start, size_t end)
{
    start = std::min(start, m_text.size());
    end = std::min(end, m_text.size());
    if (start > end)
        std::swap(start, end);
    m_selStart = start;
    m_selEnd = end;
    if (m_view != nullptr)
        m_view->SelectionChanged(*this);
}

int Control::UserType(std::string_view text)
{
    int accepted = 0;
    while (!text.empty()) {
        const size_t n = FirstCharacterLength(text);
        std::string typed(text.substr(0, n));
        text.remove_prefix(n);
        if (typed == "\r" || typed == "\n")
            continue; // Enter is no text in a single-line edit
        if ((Style() & ES_UPPERCASE) != 0)
            std::transform(typed.begin(), typed.end(), typed.begin(), Upper);
        const std::string_view selected = std::string_view(m_text).substr(m_selStart, m_selEnd - m_selStart);
        if (m_limit > 0 && CharacterCount(m_text) - CharacterCount(selected) + 1 > m_limit)
            continue; // refused: the edit is full
        std::string next = m_text.substr(0, m_selStart) + typed + m_text.substr(m_selEnd);
        ChangeText(std::move(next), m_selStart + typed.size());
        ++accepted;
    }
    return accepted;
}

void Control::UserPaste(std::string_view text)
{
    std::string pasted(FirstLine(text));
    if ((Style() & ES_UPPERCASE) != 0)
        std::transform(pasted.begin(), pasted.end(), pasted.begin(), Upper);
    if (m_limit > 0) {
        const std::string_view selected = std::string_view(m_text).substr(m_selStart, m_selEnd - m_selStart);
        const int room = std::max(0, m_limit - (CharacterCount(m_text) - CharacterCount(selected)));
        size_t cut = 0;
        for (int i = 0; i < room && cut < pasted.size(); ++i)
            cut += FirstCharacterLength(std::string_view(pasted).substr(cut));
        pasted.resize(cut);
    }
    if (pasted.empty())
        return;
    std::string next = m_text.substr(0, m_selStart) + pasted + m_text.substr(m_selEnd);
    ChangeText(std::move(next), m_selStart + pasted.size());
}

void Control::UserReplaceText(std::string_view text)
{
    if (text == m_text)
        return;
    // A toolkit inserts dropped text, or the selection on a middle click, by itself: what it
    // inserted is what lies between the parts the old and the new text share.
    const std::string_view old = m_text;
    const size_t shared = std::min(old.size(), text.size());
    size_t prefix = 0;
    while (prefix < shared && old[prefix] == text[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < shared - prefix && old[old.size() - 1 - suffix] == text[text.size() - 1 - suffix])
        ++suffix;
    const std::string_view inserted = text.substr(prefix, text.size() - prefix - suffix);
    if (FirstLine(inserted).size() == inserted.size()) {
        ChangeText(std::string(text), std::min(m_selStart, text.size()));
        return;
    }
    std::string kept(text.substr(0, prefix));
    kept += FirstLine(inserted);
    const size_t caret = kept.size();
    kept += text.substr(text.size() - suffix);
    if (kept != m_text)
        ChangeText(std::move(kept), caret);
}

void Control::SetCheck(int state)
{
    if (state == m_check)
        return;
    m_check = state;
    if (m_view != nullptr)
        m_view->CheckChanged(*this);
}

void Control::UserClick()
{
    if (Kind() == ControlKind::CheckBox && (Style() & 0x0Fu) == BS_AUTOCHECKBOX)
        SetCheck(m_check == 0 ? 1 : 0);
    if (Kind() == ControlKind::CheckBox || Kind() == ControlKind::PushButton)
        m_page.Notify(*this, WM_COMMAND, BN_CLICKED);
}

void Control::SetRangeMin(int value, bool redraw)
{
    m_rangeMin = value;
    if (m_rangeMax < m_rangeMin)
        m_rangeMax = m_rangeMin;
    const int clamped = std::clamp(m_pos, m_rangeMin, m_rangeMax);
    m_pos = clamped;
    if (m_view != nullptr)
        m_view->SliderUpdated(*this, redraw);
    if (redraw)
        ScheduleDraw();
}

void Control::SetRangeMax(int value, bool redraw)
{
    m_rangeMax = value;
    if (m_rangeMin > m_rangeMax)
        m_rangeMin = m_rangeMax;
    m_pos = std::clamp(m_pos, m_rangeMin, m_rangeMax);
    if (m_view != nullptr)
        m_view->SliderUpdated(*this, redraw);
    if (redraw)
        ScheduleDraw();
}

void Control::SetPos(int value, bool redraw)
{
    const int clamped = std::clamp(value, m_rangeMin, m_rangeMax);
    if (clamped == m_pos)
        return;
    m_pos = clamped;
    if (m_view != nullptr)
        m_view->SliderUpdated(*this, redraw);
    if (redraw)
        ScheduleDraw();
}

void Control::UserSetPos(int pos) { SetPos(pos, true); }

fw_bitmap_object* Control::SetBitmap(fw_bitmap_object* bitmap)
{
    fw_bitmap_object* previous = m_bitmap;
    m_bitmap = bitmap;
    if (m_view != nullptr)
        m_view->BitmapChanged(*this);
    return previous;
}

void Control::ScheduleDraw()
{
    if (Kind() != ControlKind::Slider || g_nativeDrawing)
        return;
    auto& pending = PendingDraws();
    if (std::find(pending.begin(), pending.end(), this) == pending.end())
        pending.push_back(this);
}

void Control::Draw()
{
    if (!m_page.Visible())
        return;
    NMCUSTOMDRAW draw;
    draw.hdr.hwndFrom = this;
    draw.hdr.idFrom = static_cast<std::uintptr_t>(Id());
    draw.hdr.code = NM_CUSTOMDRAW;
    draw.dwDrawStage = CDDS_PREPAINT;
    LRESULT result = CDRF_DODEFAULT;
    m_page.Notify(*this, WM_NOTIFY, NM_CUSTOMDRAW, &draw.hdr, &result);
}

void Control::RequestFocus()
{
    m_page.SetFocusId(Id());
    if (m_view != nullptr)
        m_view->FocusRequested(*this);
}

void RunPendingDrawing()
{
    // A drawing may schedule another (its handler moves the slider): run until none is left,
    // with a bound so that a page that never settles cannot hang the program.
    auto& pending = PendingDraws();
    for (int round = 0; round < 64 && !pending.empty(); ++round) {
        Control* control = pending.front();
        pending.erase(pending.begin());
        control->Draw();
    }
}

bool HasPendingDrawing() { return !PendingDraws().empty(); }

void SetNativeDrawing(bool native) { g_nativeDrawing = native; }
bool NativeDrawing() { return g_nativeDrawing; }

} // namespace fw
