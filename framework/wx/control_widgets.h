// The widgets of a page: each mirrors one control of the model and hands the user's input back
// to it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <wx/image.h>
#include <wx/string.h>
#include <wx/window.h>

#include "framework/core/bitmap.h"
#include "framework/core/control.h"

namespace fw::wxui {

// Text is bytes in the model; the toolkit wants Unicode. Text that is not UTF-8 is shown as
// Latin-1 rather than vanishing.
wxString ToWx(std::string_view text);
std::string FromWx(const wxString& text);
// A caption with the layer's access-key marker ('&', MarkAccessKey) in GTK's notation ('_').
std::string GtkMnemonic(std::string_view marked);
// Positions in the toolkit count characters, the model's count bytes.
long CharacterOffset(std::string_view text, std::size_t byteOffset);
std::size_t ByteOffset(std::string_view text, long characterOffset);

// The picture a bitmap holds, for drawing.
wxImage ToWxImage(const fw::Image& image);

// The GTK style class that gives a widget the tighter padding dialog-unit layouts need.
inline constexpr const char* kCompactClass = "sandrel-compact";
// Installs the style sheet for that class on the display, once.
void InstallCompactStyle();

class ControlWidget : public ControlView {
public:
    // Builds the widget for the control at its template rectangle, showing the control's state.
    // afterInput runs after every piece of the user's input has reached the model.
    static std::unique_ptr<ControlWidget> Create(wxWindow* parent, Control& control, std::function<void()> afterInput,
                                                 const std::string& accessibleName);
    ~ControlWidget() override;
    ControlWidget(const ControlWidget&) = delete;
    ControlWidget& operator=(const ControlWidget&) = delete;

    Control& Model() const { return m_control; }
    wxWindow* Window() const { return m_window; }

    void FocusRequested(Control&) override;
    void AccessibleDescriptionChanged(Control&) override;
    // A label's access key reaches `target`, which screen readers then hear it from; no
    // effect for the other widgets.
    virtual void SetMnemonicTarget(ControlWidget& /*target*/) {}

protected:
    ControlWidget(Control& control, std::function<void()> afterInput);
    void Attach(wxWindow* window);
    void OnFocus(wxFocusEvent& event);
    void AfterInput() const
    {
        if (m_afterInput)
            m_afterInput();
    }

    Control& m_control;
    wxWindow* m_window = nullptr;

private:
    std::function<void()> m_afterInput;
};

} // namespace fw::wxui
