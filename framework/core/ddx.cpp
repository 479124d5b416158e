// The standard data exchange and validation routines, with the standard messages.
#include "framework/core/ddx.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "framework/core/control.h"
#include "framework/core/cwnd.h"
#include "framework/core/msgbox.h"
#include "framework/core/page_window.h"

namespace fw {
namespace {

std::string_view Trimmed(const char* text)
{
    std::string_view s(text != nullptr ? text : "");
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

// The text of a number without the white space around it and without a leading '+'; false
// when nothing is left or a sign follows the '+'.
bool NumberText(const char* text, std::string_view& number)
{
    number = Trimmed(text);
    if (!number.empty() && number.front() == '+') {
        number.remove_prefix(1);
        if (!number.empty() && number.front() == '-')
            return false;
    }
    return !number.empty();
}

Control* ControlFor(CDataExchange* dx, int id)
{
    PageWindow* window = dx->m_pDlgWnd != nullptr ? dx->m_pDlgWnd->GetPageWindow() : nullptr;
    return window != nullptr ? window->Find(id) : nullptr;
}

// The common start of a field's exchange: nothing once a step has failed; otherwise the step
// becomes the last control prepared, and the field is tied to it for a failed check's focus.
Control* BeginExchange(CDataExchange* dx, int id, const void* field, bool edit)
{
    if (dx->Failed())
        return nullptr;
    dx->m_idLastControl = id;
    dx->m_bEditLastControl = edit;
    dx->Remember(field, id);
    return ControlFor(dx, id);
}

void FailWith(CDataExchange* dx, const std::string& message, int focusId)
{
    AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
    dx->Fail(focusId);
}

std::string FormatNumberForMessage(float value) { return FormatFloat(value).str(); }

} // namespace

CString FormatFloat(float value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc{})
        return CString("0");
    return CString(std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

bool ParseInt(const char* text, int& value)
{
    std::string_view s;
    if (!NumberText(text, s))
        return false;
    int parsed = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (ec != std::errc{} || end != s.data() + s.size())
        return false;
    value = parsed;
    return true;
}

bool ParseFloat(const char* text, float& value)
{
    std::string_view s;
    if (!NumberText(text, s))
        return false;
    // Digits, a point, an exponent: no "inf", "nan" or hexadecimal forms.
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        const bool exponentSign = (c == '+' || c == '-') && i > 0 && (s[i - 1] == 'e' || s[i - 1] == 'E');
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'e' || c == 'E' || exponentSign ||
              (c == '-' && i == 0)))
            return false;
    }
    double parsed = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (ec != std::errc{} || end != s.data() + s.size())
        return false;
    if (!std::isfinite(parsed) || std::fabs(parsed) > 3.4028234663852886e38)
        return false;
    value = static_cast<float>(parsed);
    return true;
}

} // namespace fw

void CDataExchange::Fail(int focusId)
{
    m_failed = true;
    if (m_pDlgWnd == nullptr)
        return;
    if (CWnd* item = m_pDlgWnd->GetDlgItem(focusId)) {
        item->SetFocus();
        if (fw::Control* control = item->GetControl(); control != nullptr && control->Kind() == fw::ControlKind::Edit)
            control->SelectAll();
    }
}

int CDataExchange::ControlOf(const void* field) const
{
    const auto it = m_fieldControl.find(field);
    return it != m_fieldControl.end() ? it->second : m_idLastControl;
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    if (fw::Control* control = fw::BeginExchange(dx, id, &value, true)) {
        if (!dx->m_bSaveAndValidate)
            control->SetText(std::to_string(value));
        else if (!fw::ParseInt(control->Text().c_str(), value))
            fw::FailWith(dx, "Enter a whole number.", id);
    }
}

void DDX_Text(CDataExchange* dx, int id, float& value)
{
    if (fw::Control* control = fw::BeginExchange(dx, id, &value, true)) {
        if (!dx->m_bSaveAndValidate)
            control->SetText(fw::FormatFloat(value).str());
        else if (!fw::ParseFloat(control->Text().c_str(), value))
            fw::FailWith(dx, "Enter a number.", id);
    }
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    if (fw::Control* control = fw::BeginExchange(dx, id, &value, true)) {
        if (dx->m_bSaveAndValidate)
            value = control->Text().c_str();
        else
            control->SetText(value.str());
    }
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    if (fw::Control* control = fw::BeginExchange(dx, id, &value, false)) {
        if (dx->m_bSaveAndValidate)
            value = control->Check() != 0 ? 1 : 0;
        else
            control->SetCheck(value != 0 ? 1 : 0);
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& member)
{
    if (dx->Failed() || member.m_control != nullptr)
        return;
    fw::Control* control = fw::ControlFor(dx, id);
    if (control == nullptr)
        return;
    // Attaching leaves the control as it is; a wrapper handed out before stays valid.
    member.m_control = control;
    control->Attach(&member);
}

void DDV_MinMaxInt(CDataExchange* dx, const int& value, int minimum, int maximum)
{
    if (dx->Failed() || !dx->m_bSaveAndValidate)
        return;
    if (value < minimum || value > maximum)
        fw::FailWith(dx,
                     "Enter a whole number from " + std::to_string(minimum) + " to " + std::to_string(maximum) + ".",
                     dx->ControlOf(&value));
}

void DDV_MinMaxFloat(CDataExchange* dx, const float& value, float minimum, float maximum)
{
    if (dx->Failed() || !dx->m_bSaveAndValidate)
        return;
    if (!(value >= minimum && value <= maximum))
        fw::FailWith(dx,
                     "Enter a number from " + fw::FormatNumberForMessage(minimum) + " to " +
                         fw::FormatNumberForMessage(maximum) + ".",
                     dx->ControlOf(&value));
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int characters)
{
    if (dx->Failed())
        return;
    if (dx->m_bSaveAndValidate && fw::CharacterCount(value.str()) > characters) {
        fw::FailWith(
            dx, "Enter no more than " + std::to_string(characters) + (characters == 1 ? " character." : " characters."),
            dx->ControlOf(&value));
        return;
    }
    if (dx->m_bEditLastControl)
        if (fw::Control* control = fw::ControlFor(dx, dx->m_idLastControl))
            control->SetLimit(characters);
}
