// A page window and the routing of its controls' notifications.
#include "framework/core/page_window.h"

#include "framework/core/propsheet.h"

namespace fw {

PageWindow::PageWindow(CPropertyPage& page, const DialogTemplate& tmpl) : m_page(page), m_template(tmpl)
{
    m_controls.reserve(tmpl.controls.size());
    for (const ControlTemplate& control : tmpl.controls)
        m_controls.push_back(std::make_unique<Control>(*this, control));
}

PageWindow::~PageWindow() = default;

Control* PageWindow::Find(int id) const
{
    if (id == IDC_STATIC)
        return nullptr;
    for (const auto& control : m_controls)
        if (control->Id() == id)
            return control.get();
    return nullptr;
}

void PageWindow::SetVisible(bool visible)
{
    m_visible = visible;
    if (!visible)
        return;
    for (const auto& control : m_controls)
        if (control->Kind() == ControlKind::Slider)
            control->Invalidate();
}

void PageWindow::Notify(Control& control, UINT message, UINT code, NMHDR* header, LRESULT* result)
{
    if (NotificationsLocked())
        return;
    m_page.OnCmdMsg(message, code, control.Id(), header, result);
}

} // namespace fw
