// The help viewer: wx's help window (contents, index, full-text search, Back and Forward) over a
// .chm, whose entries a virtual-file-system handler serves, so that the window reads the book,
// follows links between topics and loads pictures by itself.
#include "framework/wx/help_viewer.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <memory>

#include <wx/app.h>
#include <wx/display.h>
#include <wx/filesys.h>
#include <wx/frame.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/mstream.h>
#include <wx/notebook.h>
#include <wx/splitter.h>
#include <wx/toolbar.h>
#include <wx/treectrl.h>

#include "framework/core/msgbox.h"
#include "framework/wx/chm_file.h"
#include "framework/wx/control_widgets.h"
#include "framework/wx/gtk_calls.h"
#include "framework/wx/program_icon.h"
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
        // wx looks for a binary cache of a book beside it and trusts what it finds: the help
        // file's own entries never serve as one.
        if (entry.ends_with(".cached"))
            return nullptr;
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

// wx's help controller, without its grab: wx's own Display, called while a modal dialog runs,
// makes the help window modal in turn and waits in a loop of its own until it closes. This help
// sits beside the sheet and both stay usable.
class Controller : public wxHtmlHelpController {
public:
    Controller()
        : wxHtmlHelpController(wxHF_TOOLBAR | wxHF_FLAT_TOOLBAR | wxHF_CONTENTS | wxHF_INDEX | wxHF_SEARCH |
                               wxHF_MERGE_BOOKS)
    {
    }

    // Opens the window, if it is not open, at the topic.
    bool ShowTopic(const wxString& topic)
    {
        CreateHelpWindow();
        return m_helpWindow != nullptr && m_helpWindow->Display(topic);
    }
};

// The controller owns the window and outlives it, so that F1 after the user closed the window
// opens it again without reading the book anew; CloseHelp ends both.
struct Viewer {
    std::string book; // the help file's absolute path
    Controller controller;
};

Viewer* g_viewer = nullptr;

wxHtmlWindow* ShownPageWindow()
{
    wxHtmlHelpWindow* window = g_viewer != nullptr ? g_viewer->controller.GetHelpWindow() : nullptr;
    return window != nullptr ? window->GetHtmlWindow() : nullptr;
}

// What the viewer's window is called: the help file's own title, or after the application.
std::string BookTitle(const HelpProject& project)
{
    return project.title.empty() ? std::string(fw::AfxGetAppName()) + " Help" : project.title;
}

// Hands the book to the controller: its contents and index as the help file names them, read
// through the handler, and its topics' names relative to the file.
bool LoadBook(Viewer& viewer, const HelpProject& project)
{
    const wxString base = ToWx(HelpLocation(viewer.book, ""));
    wxFSFile book(new wxMemoryInputStream(nullptr, 0), base, "text/plain", "", wxDateTime());
    // Help compilers write contents and index in the code page of the help's language; this
    // help is English.
    return viewer.controller.GetHelpData()->AddBookParam(book, wxFONTENCODING_CP1252, ToWx(BookTitle(project)),
                                                         ToWx(project.contents), ToWx(project.index),
                                                         ToWx(project.defaultTopic), base);
}

// The navigation panel as wide as its tabs' captions, so that Contents, Index and Search all
// show; the contents tree opened out, as short as it is.
void ArrangePanels(wxHtmlHelpWindow& window)
{
    wxSplitterWindow* splitter = window.GetSplitterWindow();
    wxWindow* navigation = splitter != nullptr ? splitter->GetWindow1() : nullptr;
    if (navigation != nullptr) {
        int width = window.FromDIP(24);
        for (wxWindow* child : navigation->GetChildren())
            if (auto* tabs = wxDynamicCast(child, wxNotebook))
                for (size_t i = 0; i < tabs->GetPageCount(); ++i)
                    width += tabs->GetTextExtent(tabs->GetPageText(i)).GetWidth() + window.FromDIP(32);
        splitter->SetSashPosition(width);
    }
    if (wxTreeCtrl* tree = window.GetTreeCtrl())
        tree->ExpandAll();
}

// The toolbar's buttons show pictures only: each is named after its tooltip ("Go back"), so that
// a screen reader, and the GUI tests, find it. GTK holds the tools in wx's order.
void NameToolButtons(wxToolBar& toolbar)
{
    GtkWidget* widget = toolbar.GetHandle();
    if (GTK_IS_BIN(widget))
        widget = gtk_bin_get_child(GTK_BIN(widget));
    if (!GTK_IS_TOOLBAR(widget))
        return;
    GtkToolbar* bar = GTK_TOOLBAR(widget);
    const int count = std::min(gtk_toolbar_get_n_items(bar), static_cast<int>(toolbar.GetToolsCount()));
    for (int i = 0; i < count; ++i) {
        const wxToolBarToolBase* tool = toolbar.GetToolByPos(i);
        GtkWidget* button = gtk_bin_get_child(GTK_BIN(gtk_toolbar_get_nth_item(bar, i)));
        if (tool != nullptr && tool->IsButton() && button != nullptr)
            atk_object_set_name(gtk_widget_get_accessible(button), tool->GetShortHelp().utf8_str());
    }
}

// wx's search shows a progress box that disables every other window while it runs, and GTK takes
// the focus from a window it disables, which leaves the sheet deaf to its keys (Escape, Enter):
// its first control takes the focus again afterwards.
void KeepSheetFocusAcrossSearch(wxHtmlHelpWindow& window)
{
    const auto refocus = [](wxEvent& event) {
        event.Skip();
        wxTheApp->CallAfter([] {
            const SheetDialog* sheet = RunningSheet();
            if (sheet == nullptr)
                return;
            GtkWidget* widget = sheet->GetHandle();
            if (gtk_window_get_focus(GTK_WINDOW(widget)) == nullptr)
                gtk_widget_child_focus(widget, GTK_DIR_TAB_FORWARD);
        });
    };
    window.Bind(wxEVT_BUTTON, refocus, wxID_HTML_SEARCHBUTTON);
    window.Bind(wxEVT_TEXT_ENTER, refocus, wxID_HTML_SEARCHTEXT);
}

// Beside the sheet, as tall as it, on the side with more room. Where neither side has room for
// both panels, the window keeps a usable width and overlaps the sheet rather than squeeze them.
void PlaceBesideSheet(wxFrame& frame)
{
    const SheetDialog* sheet = RunningSheet();
    if (sheet == nullptr || !sheet->IsShown())
        return;
    const wxRect sheetRect = sheet->GetScreenRect();
    const int display = wxDisplay::GetFromWindow(sheet);
    const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    const int gap = frame.FromDIP(8);
    const int roomRight = screen.GetRight() - sheetRect.GetRight() - gap;
    const int roomLeft = sheetRect.GetLeft() - gap - screen.GetLeft();
    const bool right = roomRight >= roomLeft;
    wxSize size(std::clamp(right ? roomRight : roomLeft, frame.FromDIP(560), frame.FromDIP(780)),
                std::max(sheetRect.GetHeight(), frame.FromDIP(480)));
    size.DecTo(screen.GetSize());
    frame.SetSize(size);
    const int x = right ? std::min(sheetRect.GetRight() + gap, screen.GetRight() - size.GetWidth())
                        : std::max(screen.GetLeft(), sheetRect.GetLeft() - gap - size.GetWidth());
    frame.Move(x, std::clamp(sheetRect.GetTop(), screen.GetTop(), screen.GetBottom() - size.GetHeight()));
}

} // namespace

std::string HelpLocation(const std::string& absoluteFile, const std::string& topic)
{
    std::string entry = topic;
    if (entry.empty() || entry.front() != '/')
        entry.insert(entry.begin(), '/');
    return absoluteFile + "#" + kProtocol + ":" + entry;
}

std::string OpenHelpPage()
{
    const wxHtmlWindow* html = ShownPageWindow();
    return html != nullptr ? FromWx(html->GetOpenedPage()) : "";
}

bool FollowHelpLink(const std::string& href)
{
    wxHtmlWindow* html = ShownPageWindow();
    return html != nullptr && html->LoadPage(ToWx(href));
}

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
    if (!chm || !chm->HasTopic(topic))
        return false;
    RegisterHandler();
    if (g_viewer != nullptr && g_viewer->book != path)
        CloseHelp();
    if (g_viewer == nullptr) {
        auto viewer = std::make_unique<Viewer>();
        viewer->book = path;
        // The format's one %s is the topic's title.
        wxString title = ToWx(BookTitle(chm->Project()));
        title.Replace("%", "%%");
        viewer->controller.SetTitleFormat(title + " - %s");
        if (!LoadBook(*viewer, chm->Project()))
            return false;
        g_viewer = viewer.release();
    }
    const bool fresh = g_viewer->controller.GetFrame() == nullptr;
    const std::string name = topic.empty() || topic.front() != '/' ? topic : topic.substr(1);
    if (!g_viewer->controller.ShowTopic(ToWx(name))) {
        CloseHelp();
        return false;
    }
    wxHtmlHelpFrame* frame = g_viewer->controller.GetFrame();
    if (frame == nullptr)
        return false;
    if (fresh) {
        // The sheet is modal: GTK sends input only to the windows of its group while it runs.
        // The help window is a group of its own, so both take clicks and keys.
        GtkWindowGroup* group = gtk_window_group_new();
        gtk_window_group_add_window(group, GTK_WINDOW(frame->GetHandle()));
        g_object_unref(group);
        frame->SetIcons(ProgramIcons());
        PlaceBesideSheet(*frame);
        ArrangePanels(*g_viewer->controller.GetHelpWindow());
        KeepSheetFocusAcrossSearch(*g_viewer->controller.GetHelpWindow());
        if (wxToolBar* toolbar = g_viewer->controller.GetHelpWindow()->GetToolBar())
            NameToolButtons(*toolbar);
    }
    frame->Show();
    frame->Raise();
    return true;
}

void CloseHelp()
{
    delete g_viewer;
    g_viewer = nullptr;
}

} // namespace fw::wxui
