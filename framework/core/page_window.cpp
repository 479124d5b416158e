// A page window and the routing of its controls' notifications.
#include "framework/core/page_window.h"

#include "framework/core/access_keys.h"
#include "framework/core/control_descriptions.h"
#include "framework/core/control_labels.h"
#include "framework/core/propsheet.h"
#include "framework/core/reading_order.h"

namespace fw {

PageWindow::PageWindow(CPropertyPage& page, const DialogTemplate& tmpl)
    : m_page(page), m_template(tmpl), m_readingOrder(fw::ReadingOrder(tmpl))
{
    m_controls.reserve(tmpl.controls.size());
    for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
        auto control = std::make_unique<Control>(*this, tmpl.controls[i]);
        const char* given = FindControlName(tmpl.id, control->Id());
        control->SetAccessibleName(given[0] != '\0' ? given : AccessibleNameFor(tmpl, i));
        control->SetAccessKey(FindAccessKey(tmpl.id, control->Id()));
        m_controls.push_back(std::move(control));
    }
    // A label shows the key of the control it labels.
    const std::vector<int> targets = LabelTargets(tmpl);
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (targets[i] >= 0)
            m_controls[i]->SetAccessKey(m_controls[static_cast<std::size_t>(targets[i])]->AccessKey());
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
