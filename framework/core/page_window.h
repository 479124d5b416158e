// The window of a property page: its controls, made from the page's dialog template.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "framework/core/control.h"
#include "framework/core/dialog_template.h"
#include "framework/core/msgmap.h"

class CPropertyPage;

namespace fw {

class PageWindow {
public:
    PageWindow(CPropertyPage& page, const DialogTemplate& tmpl);
    ~PageWindow();
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;

    CPropertyPage& Page() const { return m_page; }
    const DialogTemplate& Template() const { return m_template; }

    // The first control with this identifier, or nullptr.
    Control* Find(int id) const;
    // In template order.
    std::span<const std::unique_ptr<Control>> Controls() const { return m_controls; }
    // Indices into Controls() in the order a reader takes them in (ReadingOrder): the order a
    // backend makes and links the toolkit's controls in, for Tab and for screen readers.
    std::span<const std::size_t> ReadingOrder() const { return m_readingOrder; }

    bool Visible() const { return m_visible; }
    // Showing a page draws its sliders once the current input has been handled.
    void SetVisible(bool visible);

    // A control's notification to the page. Dropped while an exchange runs.
    void Notify(Control& control, UINT message, UINT code, NMHDR* header = nullptr, LRESULT* result = nullptr);

    // While the lock is held, notifications are not dispatched.
    void LockNotifications() { ++m_lockDepth; }
    void UnlockNotifications() { --m_lockDepth; }
    bool NotificationsLocked() const { return m_lockDepth > 0; }

    // The control that has the keyboard focus (IDC_STATIC when none).
    int FocusId() const { return m_focusId; }
    void SetFocusId(int id) { m_focusId = id; }

private:
    CPropertyPage& m_page;
    const DialogTemplate& m_template;
    std::vector<std::unique_ptr<Control>> m_controls;
    std::vector<std::size_t> m_readingOrder;
    bool m_visible = false;
    int m_lockDepth = 0;
    int m_focusId = IDC_STATIC;
};

} // namespace fw
