// The baseline for the launcher's start-up: the barest wx program that shows an empty dialog.
#include <wx/app.h>
#include <wx/dialog.h>

class BareApp : public wxApp {
public:
    bool OnInit() override
    {
        wxDialog dialog(nullptr, wxID_ANY, "Bare dialog");
        dialog.ShowModal();
        return false;
    }
};

wxIMPLEMENT_APP(BareApp);
