// The program's icon from its PNG table: decoded once per window that asks for it (a few
// small images; the window manager picks the size it shows).
#include "framework/wx/program_icon.h"

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/imagpng.h>
#include <wx/mstream.h>

#include "framework/core/program_icon.h"

namespace fw::wxui {

wxIconBundle ProgramIcons()
{
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr)
        wxImage::AddHandler(new wxPNGHandler);
    wxIconBundle icons;
    for (const IconImage& image : ProgramIconImages()) {
        wxMemoryInputStream stream(image.png.data(), image.png.size());
        const wxImage decoded(stream, wxBITMAP_TYPE_PNG);
        if (!decoded.IsOk())
            continue;
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(decoded));
        icons.AddIcon(icon);
    }
    return icons;
}

} // namespace fw::wxui
