// The help viewer: a virtual-file-system handler serves the entries of a .chm, so that the HTML
// window follows links between topics (and loads pictures) by itself.
#include "framework/wx/help_viewer.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <memory>

#include <wx/display.h>
#include <wx/filesys.h>
#include <wx/frame.h>
#include <wx/html/htmlwin.h>
#include <wx/mstream.h>
#include <wx/sizer.h>

#include "framework/wx/chm_file.h"
#include "framework/wx/control_widgets.h"
#include "framework/wx/sheet_dialog.h"

namespace fw::wxui {

namespace {

constexpr const char* kProtocol = "chm";

// The system's MIME table may be missing (minimal installs have none): the help's own kinds of
// file are known here.
wxString MimeTypeOf(const std::string& entry)
{
    const size_t dot = entry.rfind('.');
    std::string ext = dot == std::string::npos ? "" : entry.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ext == "htm" || ext == "html")
        return "text/html";
    if (ext == "css")
        return "text/css";
    if (ext == "png" || ext == "gif" || ext == "bmp")
        return "image/" + ext;
    if (ext == "jpg" || ext == "jpeg")
        return "image/jpeg";
    return "application/octet-stream";
}

class ChmFileSystemHandler : public wxFileSystemHandler {
public:
    bool CanOpen(const wxString& location) override { return GetProtocol(location) == kProtocol; }

    wxFSFile* OpenFile(wxFileSystem&, const wxString& location) override
    {
        const std::string file = FromWx(GetLeftLocation(location));
        std::string entry = FromWx(GetRightLocation(location));
        const std::unique_ptr<ChmFile> chm = ChmFile::Open(file);
        if (!chm)
            return nullptr;
        const std::optional<std::string> bytes = chm->Read(entry);
        if (!bytes)
            return nullptr;
        // The stream owns its copy of the bytes.
        wxMemoryOutputStream buffer;
        buffer.Write(bytes->data(), bytes->size());
        return new wxFSFile(new wxMemoryInputStream(buffer), location, MimeTypeOf(entry), GetAnchor(location),
                            wxDateTime());
    }
};

void RegisterHandler()
{
    static bool registered = false;
    if (!registered) {
        wxFileSystem::AddHandler(new ChmFileSystemHandler);
        registered = true;
    }
}

} // namespace

class HelpFrame : public wxFrame {
public:
    HelpFrame() : wxFrame(nullptr, wxID_ANY, "Sandrel Help")
    {
        m_html = new wxHtmlWindow(this, wxID_ANY);
        m_html->SetRelatedFrame(this, "Sandrel Help - %s");
        auto* layout = new wxBoxSizer(wxVERTICAL);
        layout->Add(m_html, 1, wxEXPAND);
        SetSizer(layout);
        SetSize(FromDIP(wxSize(560, 520)));
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
            s_open = nullptr;
            Destroy();
        });
        s_open = this;
    }
    ~HelpFrame() override
    {
        if (s_open == this)
            s_open = nullptr;
    }

    bool Load(const std::string& location) { return m_html->LoadPage(ToWx(location)); }
    wxHtmlWindow* Html() const { return m_html; }

    static HelpFrame* s_open;

private:
    wxHtmlWindow* m_html;
};

HelpFrame* HelpFrame::s_open = nullptr;

std::string OpenHelpPage() { return HelpFrame::s_open != nullptr ? FromWx(HelpFrame::s_open->Html()->GetOpenedPage()) : ""; }

bool FollowHelpLink(const std::string& href)
{
    return HelpFrame::s_open != nullptr && HelpFrame::s_open->Load(href);
}

std::string HelpLocation(const std::string& absoluteFile, const std::string& topic)
{
    std::string entry = topic;
    if (entry.empty() || entry.front() != '/')
        entry.insert(entry.begin(), '/');
    return absoluteFile + "#" + kProtocol + ":" + entry;
}

namespace {

// Beside the sheet when there is room on its screen, else where the window manager puts it.
void PlaceBesideSheet(wxFrame& frame)
{
    const SheetDialog* sheet = RunningSheet();
    if (sheet == nullptr || !sheet->IsShown())
        return;
    const wxRect sheetRect = sheet->GetScreenRect();
    const int display = wxDisplay::GetFromWindow(sheet);
    const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    wxSize size = frame.GetSize();
    const int gap = frame.FromDIP(8);
    const int roomRight = screen.GetRight() - sheetRect.GetRight() - gap;
    const int roomLeft = sheetRect.GetLeft() - gap - screen.GetLeft();
    // On a small screen the window narrows to the wider side, down to a readable width.
    const bool right = roomRight >= size.GetWidth() || roomRight >= roomLeft;
    size.SetWidth(std::max(frame.FromDIP(360), std::min(size.GetWidth(), right ? roomRight : roomLeft)));
    size.SetHeight(std::min(size.GetHeight(), screen.GetHeight()));
    frame.SetSize(size);
    const int x = right ? std::min(sheetRect.GetRight() + gap, screen.GetRight() - size.GetWidth())
                        : std::max(screen.GetLeft(), sheetRect.GetLeft() - gap - size.GetWidth());
    frame.Move(x, std::max(screen.GetTop(), sheetRect.GetTop()));
}

} // namespace

bool ShowHelpTopic(const std::string& file, const std::string& topic)
{
    std::string path = file;
    if (path.empty())
        return false;
    if (path.front() != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd) == nullptr)
            return false;
        path = std::string(cwd) + "/" + path;
    }
    // Checked before any window appears: a missing file or topic shows nothing at all.
    const std::unique_ptr<ChmFile> chm = ChmFile::Open(path);
    if (!chm || !chm->Read(topic))
        return false;
    RegisterHandler();
    HelpFrame* frame = HelpFrame::s_open;
    const bool fresh = frame == nullptr;
    if (fresh)
        frame = new HelpFrame;
    if (!frame->Load(HelpLocation(path, topic))) {
        if (fresh)
            frame->Destroy();
        return false;
    }
    if (fresh)
        PlaceBesideSheet(*frame);
    frame->Show();
    frame->Raise();
    return true;
}

void CloseHelp()
{
    if (HelpFrame* frame = HelpFrame::s_open) {
        HelpFrame::s_open = nullptr;
        frame->Destroy();
    }
}

} // namespace fw::wxui
