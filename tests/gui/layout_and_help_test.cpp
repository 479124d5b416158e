// The program's pages, message boxes and help window on a real display: every caption and
// value fits its control, boxes have the buttons and icons their style asks for, and the help
// window shows its topics and leads between them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/notebook.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/utils.h>

#include "framework/core/page_window.h"
#include "framework/core/propsheet.h"
#include "framework/wx/gtk_calls.h"
#include "framework/wx/help_viewer.h"
#include "framework/wx/message_box.h"
#include "framework/wx/sheet_dialog.h"
#include "tests/gui/gui_test_support.h"

namespace {

using fw::ControlKind;
using fw::wxui::SheetDialog;

// What the toolkit needs at least to draw the widget with its theme and our style.
int GtkMinimumHeight(wxWindow* window)
{
    int minimum = 0;
    int natural = 0;
    gtk_widget_get_preferred_height(reinterpret_cast<GtkWidgetPtr>(window->GetHandle()), &minimum, &natural);
    return minimum;
}

int GtkMinimumWidth(wxWindow* window)
{
    // A label's minimum width is its natural one unless it may wrap or shrink: ask for the
    // natural width, which is what shows the whole caption.
    int minimum = 0;
    int natural = 0;
    gtk_widget_get_preferred_width(reinterpret_cast<GtkWidgetPtr>(window->GetHandle()), &minimum, &natural);
    return natural;
}

// Pages on the program's own dialogs, without exchange: only their widgets matter here.
class BarePage : public CPropertyPage {
public:
    explicit BarePage(UINT id) : CPropertyPage(id) {}
};

TEST(ProgramPages, EveryCaptionAndValueFitsItsControl)
{
    BarePage general(107), texture(109), opengl(108), controls(9);
    CPropertySheet sheet("Sandrel");
    for (CPropertyPage* page : {&general, &texture, &opengl, &controls})
        sheet.AddPage(page);
    auto* dialog = new SheetDialog(sheet);
    ASSERT_TRUE(sheet.Open());
    dialog->Show();
    // The runs on a changed desktop say what they changed, so that they cannot pass unchanged.
    if (const char* points = std::getenv("SANDREL_EXPECT_FONT_POINTS")) {
        EXPECT_EQ(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetPointSize(), std::atoi(points));
    }
    if (const char* scale = std::getenv("SANDREL_EXPECT_SCALE")) {
        EXPECT_EQ(dialog->GetContentScaleFactor(), std::atof(scale));
    }
    for (int i = 1; i < 4; ++i) {
        ASSERT_TRUE(sheet.SetActivePage(i));
        dialog->ActivePageChanged(i);
        // GTK applies style classes when it next lays the window out.
        for (int round = 0; round < 5; ++round) {
            Pump();
            wxMilliSleep(10);
        }
    }
    for (int i = 0; i < 4; ++i) {
        for (const auto& control : sheet.GetPage(i)->GetPageWindow()->Controls()) {
            wxWindow* window = dialog->WidgetOf(i, control->Id()) != nullptr && control->Id() != IDC_STATIC
                                   ? dialog->WidgetOf(i, control->Id())->Window()
                                   : nullptr;
            const fw::ControlTemplate& t = control->Template();
            const std::string where =
                "page " + std::to_string(i) + " control " + std::to_string(t.id) + " '" + t.caption + "'";
            const wxSize size(fw::DialogUnitsToPixelsX(t.cx), fw::DialogUnitsToPixelsY(t.cy));
            const wxSize text = dialog->GetTextExtent(wxString::FromUTF8(t.caption));
            switch (t.kind) {
            case ControlKind::Static:
                if (size.GetHeight() < 2 * dialog->GetCharHeight())
                    EXPECT_LE(text.GetWidth(), size.GetWidth()) << where;
                else // wrapped texts fit in height
                    EXPECT_LE(text.GetWidth() / size.GetWidth() + 1, size.GetHeight() / dialog->GetCharHeight() + 1)
                        << where;
                break;
            case ControlKind::CheckBox:
            case ControlKind::PushButton:
                ASSERT_NE(window, nullptr) << where;
                EXPECT_LE(GtkMinimumWidth(window), size.GetWidth()) << where;
                EXPECT_LE(GtkMinimumHeight(window), size.GetHeight()) << where;
                break;
            case ControlKind::Edit:
                ASSERT_NE(window, nullptr) << where;
                // Room for a line of text, and for a capital W in the one-letter key edits.
                EXPECT_LE(GtkMinimumHeight(window), size.GetHeight()) << where;
                EXPECT_LE(dialog->GetCharHeight(), size.GetHeight() - 4) << where;
                EXPECT_LT(dialog->GetTextExtent("W").GetWidth() + 6, size.GetWidth()) << where;
                break;
            default: break;
            }
        }
    }
    delete dialog;
    sheet.Close();
}

TEST(DialogUnits, WidenUntilALongCaptionFits)
{
    static constexpr fw::ControlTemplate controls[] = {
        {IDC_STATIC, ControlKind::Static, "a caption much longer than its box", 7, 7, 30, 8, WS_CHILD},
        {IDC_STATIC, ControlKind::Static, "a long text in a tall box wraps instead of widening", 7, 20, 20, 40,
         WS_CHILD},
    };
    static constexpr fw::DialogTemplate tmpl{9903, "Fit", 100, 100, "MS Shell Dlg", 8, kPageStyle, controls};
    wxFrame frame(nullptr, wxID_ANY, "units");
    const fw::DialogBaseUnits base = fw::wxui::BaseUnitsOf(frame);
    EXPECT_GT(base.x, 2);
    EXPECT_GE(base.y, frame.GetCharHeight());
    const fw::DialogBaseUnits fitted = fw::wxui::FitCaptions(frame, base, {&tmpl});
    EXPECT_EQ(fitted.y, base.y);
    fw::SetDialogBaseUnits(fitted);
    EXPECT_GE(fw::DialogUnitsToPixelsX(30), frame.GetTextExtent("a caption much longer than its box").GetWidth());
    EXPECT_LT(fitted.x, 4 * base.x) << "the tall box's text does not count";
    fw::SetDialogBaseUnits(base);
}

// Finds the box on screen, checks it, and confirms it as the user would.
struct BoxInspection {
    bool found = false;
    bool stayOnTop = false;
    bool hasIcon = false;
    int buttons = 0;
    wxString title;
    wxString text;
};

BoxInspection ShowAndInspect(const char* text, const char* caption, UINT style)
{
    BoxInspection seen;
    wxTheApp->CallAfter([&seen] {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* box = dynamic_cast<wxDialog*>(window);
            if (box == nullptr || !box->IsModal())
                continue;
            seen.found = true;
            seen.title = box->GetTitle();
            seen.stayOnTop = box->HasFlag(wxSTAY_ON_TOP);
            for (wxWindow* child : box->GetChildren()) {
                if (dynamic_cast<wxStaticBitmap*>(child) != nullptr)
                    seen.hasIcon = true;
                if (dynamic_cast<wxButton*>(child) != nullptr)
                    ++seen.buttons;
                if (auto* label = dynamic_cast<wxStaticText*>(child))
                    seen.text = label->GetLabel();
            }
            box->EndModal(wxID_OK);
        }
    });
    const int answer = fw::wxui::ShowMessageBox(nullptr, text, caption, style);
    EXPECT_EQ(answer, IDOK);
    return seen;
}

TEST(MessageBoxes, ErrorBoxesHaveOneButtonNoIconAndStayOnTop)
{
    const BoxInspection box = ShowAndInspect("couldn't write configuration", "error", MB_SYSTEMMODAL);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.title, "error");
    EXPECT_EQ(box.text, "couldn't write configuration");
    EXPECT_TRUE(box.stayOnTop);
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(box.buttons, 1);
}

TEST(MessageBoxes, ValidationMessagesShowAWarningIcon)
{
    const BoxInspection box = ShowAndInspect("Enter a whole number.", "Sandrel", MB_OK | MB_ICONEXCLAMATION);
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.title, "Sandrel");
    EXPECT_TRUE(box.hasIcon);
    EXPECT_FALSE(box.stayOnTop);
    EXPECT_EQ(box.buttons, 1);
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(getcwd(m_cwd, sizeof m_cwd), nullptr); }
    void TearDown() override
    {
        fw::wxui::CloseHelp();
        Pump();
        ASSERT_EQ(chdir(m_cwd), 0);
    }
    char m_cwd[PATH_MAX] = {};
};

TEST_F(HelpTest, ShowsTheTopicFromTheCurrentDirectoryAndFollowsLinks)
{
    const std::string chm = SANDREL_CHM_PATH;
    ASSERT_EQ(chdir(chm.substr(0, chm.rfind('/')).c_str()), 0);
    ASSERT_TRUE(fw::wxui::ShowHelpTopic("Sandrel.chm", "welcome.htm"));
    const std::string page = fw::wxui::OpenHelpPage();
    EXPECT_NE(page.find("Sandrel.chm#chm:/welcome.htm"), std::string::npos) << page;
    ASSERT_TRUE(fw::wxui::FollowHelpLink("general.htm"));
    EXPECT_NE(fw::wxui::OpenHelpPage().find("chm:/general.htm"), std::string::npos) << fw::wxui::OpenHelpPage();
}

wxHtmlHelpWindow* ShownHelpWindow()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* frame = wxDynamicCast(window, wxHtmlHelpFrame); frame != nullptr && frame->IsShown())
            return frame->GetHelpWindow();
    return nullptr;
}

// The viewer's contents list the topics and open one, the index leads from a key to its place,
// the search finds the topic that holds a word, and Back returns.
TEST_F(HelpTest, ContentsIndexSearchAndBackLeadToTheirTopics)
{
    ASSERT_TRUE(fw::wxui::ShowHelpTopic(SANDREL_CHM_PATH, "welcome.htm"));
    Pump();
    wxHtmlHelpWindow* help = ShownHelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_NE(fw::wxui::OpenHelpPage().find("chm:/welcome.htm"), std::string::npos) << fw::wxui::OpenHelpPage();

    wxTreeCtrl* tree = help->GetTreeCtrl();
    ASSERT_NE(tree, nullptr);
    std::vector<std::string> titles;
    wxTreeItemId controls;
    std::vector<wxTreeItemId> pending{tree->GetRootItem()};
    while (!pending.empty()) {
        const wxTreeItemId item = pending.back();
        pending.pop_back();
        titles.push_back(tree->GetItemText(item).utf8_string());
        if (titles.back() == "Controls tab")
            controls = item;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree->GetFirstChild(item, cookie); child.IsOk();
             child = tree->GetNextChild(item, cookie))
            pending.push_back(child);
    }
    for (const char* title : {"Welcome to Sandrel", "General tab", "Texture tab", "OpenGL tab", "Controls tab"})
        EXPECT_NE(std::find(titles.begin(), titles.end(), title), titles.end()) << title;
    ASSERT_TRUE(controls.IsOk());
    tree->SelectItem(controls);
    Pump();
    EXPECT_NE(fw::wxui::OpenHelpPage().find("chm:/controls.htm"), std::string::npos) << fw::wxui::OpenHelpPage();

    ASSERT_TRUE(help->Display("WIDTH")); // a name that only the index knows
    Pump();
    EXPECT_NE(fw::wxui::OpenHelpPage().find("chm:/general.htm"), std::string::npos) << fw::wxui::OpenHelpPage();
    EXPECT_EQ(help->GetHtmlWindow()->GetOpenedAnchor(), "width");

    ASSERT_TRUE(help->KeywordSearch("polygon"));
    Pump();
    EXPECT_NE(fw::wxui::OpenHelpPage().find("chm:/controls.htm"), std::string::npos) << fw::wxui::OpenHelpPage();

    wxCommandEvent back(wxEVT_TOOL, wxID_HTML_BACK);
    help->ProcessWindowEvent(back);
    Pump();
    EXPECT_NE(fw::wxui::OpenHelpPage().find("chm:/general.htm"), std::string::npos) << fw::wxui::OpenHelpPage();
}

TEST_F(HelpTest, MissingFileOrTopicShowsNothing)
{
    ASSERT_EQ(chdir(::testing::TempDir().c_str()), 0);
    EXPECT_FALSE(fw::wxui::ShowHelpTopic("Sandrel.chm", "welcome.htm"));
    EXPECT_EQ(fw::wxui::OpenHelpPage(), "");
    EXPECT_FALSE(fw::wxui::ShowHelpTopic(SANDREL_CHM_PATH, "nosuch.htm"));
    EXPECT_EQ(fw::wxui::OpenHelpPage(), "");
}

} // namespace
