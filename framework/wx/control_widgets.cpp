// Widgets for the control model: edits, check boxes, buttons, sliders, pictures and texts.
#include "framework/wx/control_widgets.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/dcclient.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "framework/core/page_window.h"
#include "framework/wx/gtk_calls.h"

namespace fw::wxui {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsUtf8(std::string_view text) { return !text.empty() && !wxString::FromUTF8(text.data(), text.size()).empty(); }

GtkWidgetPtr Gtk(wxWindow* window) { return reinterpret_cast<GtkWidgetPtr>(window->GetHandle()); }

void MakeCompact(wxWindow* window)
{
    if (GtkWidgetPtr widget = Gtk(window))
        gtk_style_context_add_class(gtk_widget_get_style_context(widget), kCompactClass);
}

wxRect PixelRect(const ControlTemplate& t)
{
    return {DialogUnitsToPixelsX(t.x), DialogUnitsToPixelsY(t.y), DialogUnitsToPixelsX(t.cx),
            DialogUnitsToPixelsY(t.cy)};
}

class StaticWidget : public ControlWidget {
public:
    StaticWidget(wxWindow* parent, Control& control, std::function<void()> afterInput)
        : ControlWidget(control, std::move(afterInput))
    {
        const wxRect r = PixelRect(control.Template());
        if (control.Kind() == ControlKind::GroupBox) {
            m_box = new wxStaticBox(parent, wxID_ANY, ToWx(control.Text()), r.GetPosition(), r.GetSize());
            Attach(m_box);
        } else {
            m_label = new wxStaticText(parent, wxID_ANY, wxString(), r.GetPosition(), r.GetSize(),
                                       wxST_NO_AUTORESIZE | wxALIGN_LEFT);
            Attach(m_label);
            ShowText();
        }
    }

    void TextChanged(Control&) override
    {
        if (m_box != nullptr)
            m_box->SetLabel(ToWx(m_control.Text()));
        else
            ShowText();
    }

    void SetMnemonicTarget(ControlWidget& target) override
    {
        if (m_label != nullptr && Gtk(m_label) != nullptr && Gtk(target.Window()) != nullptr)
            gtk_label_set_mnemonic_widget(GTK_LABEL(Gtk(m_label)), Gtk(target.Window()));
    }

private:
    void ShowText()
    {
        m_label->SetLabel(ToWx(m_control.MarkedText()));
        // Texts wrap their words at their width, as the dialogs were laid out for. A label with
        // an access key is one line, which wrapping would measure with its marker.
        if (m_control.AccessKey() == 0)
            m_label->Wrap(m_label->GetSize().GetWidth());
    }

    wxStaticText* m_label = nullptr;
    wxStaticBox* m_box = nullptr;
};

class ButtonWidget : public ControlWidget {
public:
    ButtonWidget(wxWindow* parent, Control& control, std::function<void()> afterInput)
        : ControlWidget(control, std::move(afterInput))
    {
        const wxRect r = PixelRect(control.Template());
        m_button =
            new wxButton(parent, wxID_ANY, ToWx(control.MarkedText()), r.GetPosition(), r.GetSize(), wxBU_EXACTFIT);
        Attach(m_button);
        MakeCompact(m_button);
        m_button->Bind(wxEVT_BUTTON, &ButtonWidget::OnButton, this);
    }
    ~ButtonWidget() override { m_button->Unbind(wxEVT_BUTTON, &ButtonWidget::OnButton, this); }

    void TextChanged(Control&) override { m_button->SetLabel(ToWx(m_control.MarkedText())); }

private:
    void OnButton(wxCommandEvent&)
    {
        m_control.UserClick();
        AfterInput();
    }

    wxButton* m_button;
};

class CheckWidget : public ControlWidget {
public:
    CheckWidget(wxWindow* parent, Control& control, std::function<void()> afterInput)
        : ControlWidget(control, std::move(afterInput))
    {
        const wxRect r = PixelRect(control.Template());
        m_box = new wxCheckBox(parent, wxID_ANY, ToWx(control.MarkedText()), r.GetPosition(), r.GetSize());
        Attach(m_box);
        MakeCompact(m_box);
        m_box->SetValue(control.Check() != 0);
        m_box->Bind(wxEVT_CHECKBOX, &CheckWidget::OnClick, this);
    }
    ~CheckWidget() override { m_box->Unbind(wxEVT_CHECKBOX, &CheckWidget::OnClick, this); }

    void TextChanged(Control&) override { m_box->SetLabel(ToWx(m_control.MarkedText())); }
    void CheckChanged(Control&) override { m_box->SetValue(m_control.Check() != 0); }

private:
    void OnClick(wxCommandEvent&)
    {
        // The toolkit has toggled the box; the model toggles its own state and notifies.
        m_control.UserClick();
        m_box->SetValue(m_control.Check() != 0);
        AfterInput();
    }

    wxCheckBox* m_box;
};

class EditWidget : public ControlWidget {
public:
    EditWidget(wxWindow* parent, Control& control, std::function<void()> afterInput)
        : ControlWidget(control, std::move(afterInput))
    {
        const wxRect r = PixelRect(control.Template());
        // No toolkit length limit and no toolkit upper-casing: the model applies both to typing
        // only, and shows text the program sets in full.
        m_text = new wxTextCtrl(parent, wxID_ANY, ToWx(control.Text()), r.GetPosition(), r.GetSize(), wxTE_LEFT);
        Attach(m_text);
        MakeCompact(m_text);
        m_text->Bind(wxEVT_KEY_DOWN, &EditWidget::OnKeyDown, this);
        m_text->Bind(wxEVT_CHAR, &EditWidget::OnChar, this);
        m_text->Bind(wxEVT_TEXT, &EditWidget::OnText, this);
        m_text->Bind(wxEVT_TEXT_PASTE, &EditWidget::OnPaste, this);
    }
    ~EditWidget() override
    {
        m_text->Unbind(wxEVT_KEY_DOWN, &EditWidget::OnKeyDown, this);
        m_text->Unbind(wxEVT_CHAR, &EditWidget::OnChar, this);
        m_text->Unbind(wxEVT_TEXT, &EditWidget::OnText, this);
        m_text->Unbind(wxEVT_TEXT_PASTE, &EditWidget::OnPaste, this);
    }

    void TextChanged(Control&) override
    {
        if (m_userEditing && FromWx(m_text->GetValue()) == m_control.Text())
            return; // the widget already shows what the user made; its caret stays
        Mirror();
    }
    void SelectionChanged(Control&) override
    {
        if (!m_mirroring)
            MirrorSelection();
    }

private:
    void Mirror()
    {
        const wxString wanted = ToWx(m_control.Text());
        if (m_text->GetValue() != wanted) {
            m_mirroring = true;
            m_text->ChangeValue(wanted); // sends no wxEVT_TEXT: the model has notified already
            m_mirroring = false;
        }
        MirrorSelection();
    }

    void MirrorSelection()
    {
        const std::string& text = m_control.Text();
        m_mirroring = true;
        m_text->SetSelection(CharacterOffset(text, m_control.SelectionStart()),
                             CharacterOffset(text, m_control.SelectionEnd()));
        m_mirroring = false;
    }

    // The model replaces its selection when the user types: give it the widget's, as it was
    // when the key went down. wxGTK reports a typed character from the entry's input method,
    // after the entry has already deleted its selection.
    void TakeSelection()
    {
        long from = 0;
        long to = 0;
        if (m_keyDown.valid && m_keyDown.value == ToWx(m_control.Text())) {
            from = m_keyDown.from;
            to = m_keyDown.to;
        } else {
            m_text->GetSelection(&from, &to);
        }
        m_keyDown.valid = false;
        const std::string& text = m_control.Text();
        m_mirroring = true;
        m_control.SetSelection(ByteOffset(text, from), ByteOffset(text, to));
        m_mirroring = false;
    }

    void OnKeyDown(wxKeyEvent& event)
    {
        m_keyDown.valid = true;
        m_keyDown.value = m_text->GetValue();
        m_text->GetSelection(&m_keyDown.from, &m_keyDown.to);
        event.Skip();
    }

    void OnChar(wxKeyEvent& event)
    {
        const wxChar ch = event.GetUnicodeKey();
        if ((event.GetModifiers() & (wxMOD_CONTROL | wxMOD_ALT | wxMOD_META)) != 0 || ch == WXK_NONE || ch < 32 ||
            ch == 127) {
            event.Skip(); // editing and movement keys: the toolkit's, reported through OnText
            return;
        }
        TakeSelection();
        m_control.UserType(FromWx(wxString(ch)));
        Mirror(); // a refused character leaves the widget as the model is
        AfterInput();
    }

    void OnPaste(wxClipboardTextEvent&)
    {
        wxString pasted;
        if (wxTheClipboard->Open()) {
            wxTextDataObject data;
            if (wxTheClipboard->GetData(data))
                pasted = data.GetText();
            wxTheClipboard->Close();
        }
        TakeSelection();
        m_control.UserPaste(FromWx(pasted));
        Mirror();
        AfterInput();
    }

    void OnText(wxCommandEvent&)
    {
        if (m_mirroring)
            return;
        const std::string now = FromWx(m_text->GetValue());
        if (now == m_control.Text())
            return;
        long from = 0;
        long to = 0;
        m_text->GetSelection(&from, &to);
        m_userEditing = true;
        m_control.UserReplaceText(now);
        m_userEditing = false;
        if (m_control.Text() == now) {
            m_mirroring = true;
            m_control.SetSelection(ByteOffset(now, from), ByteOffset(now, to));
            m_mirroring = false;
        } else {
            Mirror(); // a handler rewrote the text while it was being notified
        }
        AfterInput();
    }

    struct KeyDown {
        bool valid = false;
        wxString value;
        long from = 0;
        long to = 0;
    };

    wxTextCtrl* m_text;
    KeyDown m_keyDown;
    bool m_mirroring = false;
    bool m_userEditing = false;
};

class SliderWidget : public ControlWidget {
public:
    SliderWidget(wxWindow* parent, Control& control, std::function<void()> afterInput)
        : ControlWidget(control, std::move(afterInput))
    {
        const wxRect r = PixelRect(control.Template());
        m_slider = new wxSlider(parent, wxID_ANY, control.Pos(), control.RangeMin(), control.RangeMax(),
                                r.GetPosition(), r.GetSize(), wxSL_HORIZONTAL);
        Attach(m_slider);
        m_slider->Bind(wxEVT_SLIDER, &SliderWidget::OnMoved, this);
    }
    ~SliderWidget() override { m_slider->Unbind(wxEVT_SLIDER, &SliderWidget::OnMoved, this); }

    void SliderChanged(Control&) override
    {
        if (m_slider->GetMin() != m_control.RangeMin() || m_slider->GetMax() != m_control.RangeMax())
            m_slider->SetRange(m_control.RangeMin(), m_control.RangeMax());
        if (m_slider->GetValue() != m_control.Pos())
            m_slider->SetValue(m_control.Pos());
    }

private:
    void OnMoved(wxCommandEvent&)
    {
        m_control.UserSetPos(m_slider->GetValue());
        if (m_slider->GetValue() != m_control.Pos())
            m_slider->SetValue(m_control.Pos());
        AfterInput();
    }

    wxSlider* m_slider;
};

// Shows its bitmap centred at its own size; what does not fit is clipped by the window. It takes
// no focus: there is nothing to do with it but look, and screen readers read it in its place.
class PictureWindow : public wxWindow {
public:
    PictureWindow(wxWindow* parent, const wxRect& r) : wxWindow(parent, wxID_ANY, r.GetPosition(), r.GetSize())
    {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, &PictureWindow::OnPaint, this);
        if (GtkWidgetPtr widget = Gtk(this)) {
            gtk_widget_set_can_focus(widget, FALSE);
            atk_object_set_role(gtk_widget_get_accessible(widget), gtk::kAtkRoleImage);
        }
    }

    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }

    void Show(const fw::Image* image)
    {
        m_bitmap = image != nullptr && image->width > 0 && image->height > 0 ? wxBitmap(ToWxImage(*image)) : wxBitmap();
        Refresh();
    }

private:
    void OnPaint(wxPaintEvent&)
    {
        wxPaintDC dc(this);
        dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
        dc.Clear();
        if (!m_bitmap.IsOk())
            return;
        const wxSize size = GetClientSize();
        dc.DrawBitmap(m_bitmap, (size.GetWidth() - m_bitmap.GetWidth()) / 2,
                      (size.GetHeight() - m_bitmap.GetHeight()) / 2);
    }

    wxBitmap m_bitmap;
};

class PictureWidget : public ControlWidget {
public:
    PictureWidget(wxWindow* parent, Control& control, std::function<void()> afterInput)
        : ControlWidget(control, std::move(afterInput))
    {
        m_picture = new PictureWindow(parent, PixelRect(control.Template()));
        Attach(m_picture);
        m_picture->Show(GetBitmapImage(control.Bitmap()));
    }

    void BitmapChanged(Control&) override { m_picture->Show(GetBitmapImage(m_control.Bitmap())); }

private:
    PictureWindow* m_picture;
};

} // namespace

wxString ToWx(std::string_view text)
{
    if (text.empty())
        return {};
    const wxString utf8 = wxString::FromUTF8(text.data(), text.size());
    if (!utf8.empty())
        return utf8;
    return wxString(text.data(), wxConvISO8859_1, text.size());
}

std::string GtkMnemonic(std::string_view marked)
{
    std::string gtk;
    for (std::size_t i = 0; i < marked.size(); ++i) {
        if (marked[i] == '_')
            gtk += "__";
        else if (marked[i] != '&' || i + 1 == marked.size())
            gtk += marked[i];
        else if (marked[++i] == '&')
            gtk += '&'; // a '&' of the caption itself
        else
            gtk += std::string("_") + marked[i];
    }
    return gtk;
}

std::string FromWx(const wxString& text)
{
    const wxScopedCharBuffer bytes = text.utf8_str();
    return std::string(bytes.data(), bytes.length());
}

long CharacterOffset(std::string_view text, std::size_t byteOffset)
{
    byteOffset = std::min(byteOffset, text.size());
    if (!IsUtf8(text))
        return static_cast<long>(byteOffset);
    long count = 0;
    for (std::size_t i = 0; i < byteOffset; ++i)
        if (!IsContinuation(text[i]))
            ++count;
    return count;
}

std::size_t ByteOffset(std::string_view text, long characterOffset)
{
    if (characterOffset <= 0)
        return 0;
    if (!IsUtf8(text))
        return std::min(static_cast<std::size_t>(characterOffset), text.size());
    long seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsContinuation(text[i])) {
            if (seen == characterOffset)
                return i;
            ++seen;
        }
    }
    return text.size();
}

wxImage ToWxImage(const fw::Image& image)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
        return {};
    wxImage out(image.width, image.height, false);
    unsigned char* rgb = out.GetData();
    for (const std::uint32_t pixel : image.pixels) {
        *rgb++ = static_cast<unsigned char>((pixel >> 16) & 0xFF);
        *rgb++ = static_cast<unsigned char>((pixel >> 8) & 0xFF);
        *rgb++ = static_cast<unsigned char>(pixel & 0xFF);
    }
    return out;
}

void InstallCompactStyle()
{
    static bool installed = false;
    if (installed)
        return;
    GdkScreen* screen = gdk_screen_get_default();
    if (screen == nullptr)
        return;
    installed = true;
    // Dialog units leave an edit about two text lines' height and a button of three dots a few
    // pixels more than its label: the theme's paddings would hide the text.
    static const char css[] = "entry.sandrel-compact { min-height: 0; padding: 0 3px; }\n"
                              "button.sandrel-compact { min-height: 0; min-width: 0; padding: 0 1px; }\n"
                              "checkbutton.sandrel-compact { min-height: 0; padding-top: 0; padding-bottom: 0; }\n";
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css, -1, nullptr);
    gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                              gtk::kStyleProviderPriorityApplication);
    g_object_unref(provider);
}

ControlWidget::ControlWidget(Control& control, std::function<void()> afterInput)
    : m_control(control), m_afterInput(std::move(afterInput))
{
}

ControlWidget::~ControlWidget()
{
    if (m_window != nullptr)
        m_window->Unbind(wxEVT_SET_FOCUS, &ControlWidget::OnFocus, this);
    if (m_control.View() == this)
        m_control.SetView(nullptr);
}

void ControlWidget::Attach(wxWindow* window)
{
    m_window = window;
    m_control.SetView(this);
    m_window->Bind(wxEVT_SET_FOCUS, &ControlWidget::OnFocus, this);
}

void ControlWidget::OnFocus(wxFocusEvent& event)
{
    // Failed checks and the page's own calls need to know where the user is.
    m_control.Page().SetFocusId(m_control.Id());
    event.Skip();
}

void ControlWidget::FocusRequested(Control&)
{
    if (m_window != nullptr)
        m_window->SetFocus();
}

void ControlWidget::AccessibleDescriptionChanged(Control&)
{
    if (GtkWidgetPtr gtk = m_window != nullptr ? Gtk(m_window) : nullptr)
        atk_object_set_description(gtk_widget_get_accessible(gtk), m_control.AccessibleDescription().c_str());
}

std::unique_ptr<ControlWidget> ControlWidget::Create(wxWindow* parent, Control& control,
                                                     std::function<void()> afterInput,
                                                     const std::string& accessibleName)
{
    std::unique_ptr<ControlWidget> widget;
    switch (control.Kind()) {
    case ControlKind::Static:
    case ControlKind::GroupBox: widget = std::make_unique<StaticWidget>(parent, control, std::move(afterInput)); break;
    case ControlKind::PushButton:
        widget = std::make_unique<ButtonWidget>(parent, control, std::move(afterInput));
        break;
    case ControlKind::CheckBox: widget = std::make_unique<CheckWidget>(parent, control, std::move(afterInput)); break;
    case ControlKind::Edit: widget = std::make_unique<EditWidget>(parent, control, std::move(afterInput)); break;
    case ControlKind::Picture: widget = std::make_unique<PictureWidget>(parent, control, std::move(afterInput)); break;
    case ControlKind::Slider: widget = std::make_unique<SliderWidget>(parent, control, std::move(afterInput)); break;
    }
    if (!widget)
        return widget;
    GtkWidgetPtr gtk = Gtk(widget->Window());
    if (gtk != nullptr && !accessibleName.empty())
        atk_object_set_name(gtk_widget_get_accessible(gtk), accessibleName.c_str());
    // What the control holds, on hover and for screen readers alike.
    if (const char* description = control.Description(); description[0] != '\0')
        widget->Window()->SetToolTip(ToWx(description));
    if (gtk != nullptr && !control.AccessibleDescription().empty())
        atk_object_set_description(gtk_widget_get_accessible(gtk), control.AccessibleDescription().c_str());
    return widget;
}

} // namespace fw::wxui
