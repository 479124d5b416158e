// Message boxes: caption as given, an icon only when the style asks for one, one OK button.
#include "framework/wx/message_box.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "framework/wx/control_widgets.h"
#include "framework/wx/gtk_calls.h"

namespace fw::wxui {
namespace {

wxArtID IconOf(UINT style)
{
    switch (style & 0xF0u) {
    case 0x10u: return wxART_ERROR;       // MB_ICONHAND
    case 0x20u: return wxART_QUESTION;    // MB_ICONQUESTION
    case 0x30u: return wxART_WARNING;     // MB_ICONEXCLAMATION
    case 0x40u: return wxART_INFORMATION; // MB_ICONASTERISK
    default: return {};
    }
}

} // namespace

int ShowMessageBox(void*, const char* text, const char* caption, UINT style)
{
    // A system-modal box stays above every other window, the sheet and the help included.
    long frame = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;
    if ((style & MB_SYSTEMMODAL) != 0)
        frame |= wxSTAY_ON_TOP;
    wxDialog box(nullptr, wxID_ANY, ToWx(caption != nullptr ? caption : ""), wxDefaultPosition, wxDefaultSize, frame);

    const int margin = box.FromDIP(12);
    auto* layout = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    if (const wxArtID icon = IconOf(style); !icon.empty()) {
        auto* picture = new wxStaticBitmap(&box, wxID_ANY, wxArtProvider::GetBitmapBundle(icon, wxART_MESSAGE_BOX));
        row->Add(picture, 0, wxRIGHT | wxALIGN_TOP, margin);
    }
    auto* message = new wxStaticText(&box, wxID_ANY, ToWx(text != nullptr ? text : ""));
    message->Wrap(box.FromDIP(420));
    row->Add(message, 1, wxALIGN_CENTER_VERTICAL);
    layout->Add(row, 1, wxEXPAND | wxALL, margin);
    auto* ok = new wxButton(&box, wxID_OK, "OK");
    layout->Add(ok, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, margin);
    box.SetSizerAndFit(layout);
    box.SetMinSize(wxSize(box.FromDIP(240), -1));
    box.Fit();
    ok->SetDefault();
    ok->SetFocus();
    // Escape and the close box confirm the box too: it has no other answer.
    box.SetEscapeId(wxID_OK);
    box.Bind(wxEVT_CLOSE_WINDOW, [&box](wxCloseEvent&) { box.EndModal(wxID_OK); });
    if (auto* widget = reinterpret_cast<GtkWidgetPtr>(box.GetHandle()))
        atk_object_set_role(gtk_widget_get_accessible(widget), gtk::kAtkRoleAlert);
    box.CentreOnScreen();
    box.ShowModal();
    return IDOK;
}

} // namespace fw::wxui
