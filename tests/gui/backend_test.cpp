// The sheet's window on a real display: the widgets mirror the control model, and the user's
// typing, clicks, drags, tab changes and keys reach the model the way the layer defines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/frame.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/treectrl.h>
#include <wx/notebook.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "framework/core/page_window.h"
#include "framework/core/propsheet.h"
#include "framework/wx/gtk_calls.h"
#include "framework/wx/help_viewer.h"
#include "framework/wx/message_box.h"
#include "framework/wx/sheet_dialog.h"

namespace {

using fw::ControlKind;
using fw::wxui::SheetDialog;

enum : int { kName = 201, kKey, kCaps, kNumber, kBox, kButton, kSlider, kPos, kPicture };

constexpr DWORD kEdit = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr fw::ControlTemplate kControls[] = {
    {IDC_STATIC, ControlKind::Static, "Name", 7, 9, 30, 8, WS_CHILD | WS_VISIBLE},
    {kName, ControlKind::Edit, "", 40, 7, 60, 12, kEdit},
    {IDC_STATIC, ControlKind::Static, "Key", 7, 25, 30, 8, WS_CHILD | WS_VISIBLE},
    {kKey, ControlKind::Edit, "", 40, 23, 11, 12, kEdit | ES_UPPERCASE},
    {kCaps, ControlKind::Edit, "", 60, 23, 60, 12, kEdit | ES_UPPERCASE},
    {IDC_STATIC, ControlKind::Static, "Number", 7, 41, 30, 8, WS_CHILD | WS_VISIBLE},
    {kNumber, ControlKind::Edit, "", 40, 39, 40, 12, kEdit},
    {kBox, ControlKind::CheckBox, "box", 7, 57, 50, 10, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
    {kButton, ControlKind::PushButton, "...", 60, 57, 17, 11, WS_CHILD | WS_VISIBLE | WS_TABSTOP},
    {kSlider, ControlKind::Slider, "", 7, 72, 120, 15, WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_NOTICKS},
    {kPos, ControlKind::Edit, "", 130, 72, 30, 12, kEdit},
    {kPicture, ControlKind::Picture, "", 7, 90, 60, 40, WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE},
};
constexpr DWORD kPageStyle = WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT | DS_FIXEDSYS;
constexpr fw::DialogTemplate kFirst{9901, "First", 170, 140, "MS Shell Dlg", 8, kPageStyle, kControls};
constexpr fw::DialogTemplate kSecond{9902, "Second", 170, 140, "MS Shell Dlg", 8, kPageStyle, kControls};

// A page whose slider and position edit follow each other as the Texture page's do.
class GuiPage : public CPropertyPage {
public:
    explicit GuiPage(const fw::DialogTemplate& tmpl) : CPropertyPage(tmpl) {}

    CString m_name;
    CString m_key;
    CString m_caps;
    int m_number = 5;
    int m_box = 0;
    CSliderCtrl m_slider;
    int nameChanges = 0;
    int boxClicks = 0;
    int buttonClicks = 0;
    int draws = 0;

    BOOL OnInitDialog() override
    {
        CPropertyPage::OnInitDialog();
        m_slider.SetRange(0, 200);
        return TRUE;
    }

    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, kName, m_name);
        DDV_MaxChars(dx, m_name, 4);
        DDX_Text(dx, kKey, m_key);
        DDV_MaxChars(dx, m_key, 1);
        DDX_Text(dx, kCaps, m_caps);
        DDX_Text(dx, kNumber, m_number);
        DDV_MinMaxInt(dx, m_number, 0, 100);
        DDX_Check(dx, kBox, m_box);
        DDX_Control(dx, kSlider, m_slider);
    }

    void OnNameChange() { ++nameChanges; }
    void OnBox() { ++boxClicks; }
    void OnButton() { ++buttonClicks; }
    void OnPosChange() { m_slider.SetPos(static_cast<int>(GetDlgItemInt(kPos))); }
    void OnSliderDraw(NMHDR*, LRESULT* result)
    {
        ++draws;
        SetDlgItemInt(kPos, static_cast<UINT>(m_slider.GetPos()));
        *result = CDRF_DODEFAULT;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(GuiPage, CPropertyPage)
    ON_EN_CHANGE(kName, &GuiPage::OnNameChange)
    ON_BN_CLICKED(kBox, &GuiPage::OnBox)
    ON_BN_CLICKED(kButton, &GuiPage::OnButton)
    ON_EN_CHANGE(kPos, &GuiPage::OnPosChange)
    ON_NOTIFY(NM_CUSTOMDRAW, kSlider, &GuiPage::OnSliderDraw)
END_MESSAGE_MAP()

// Lets the toolkit and the queued calls run, as the modal loop would between inputs.
void Pump()
{
    for (int i = 0; i < 6; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
    }
}

class SheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousSink = fw::SetMessageBoxSink({&SheetTest::Record, this});
        sheet.AddPage(&first);
        sheet.AddPage(&second);
        dialog = new SheetDialog(sheet);
        ASSERT_TRUE(sheet.Open());
        dialog->Show();
        dialog->Settle(); // what Run does once the sheet is on screen
        Pump();
    }

    void TearDown() override
    {
        delete dialog;
        sheet.Close();
        fw::SetMessageBoxSink(m_previousSink);
    }

    static int Record(void* context, const char* text, const char*, UINT)
    {
        static_cast<SheetTest*>(context)->messages.emplace_back(text);
        return IDOK;
    }

    template <class T>
    T* Widget(int id, int page = 0) const
    {
        fw::wxui::ControlWidget* widget = dialog->WidgetOf(page, id);
        return widget != nullptr ? dynamic_cast<T*>(widget->Window()) : nullptr;
    }
    fw::Control& Model(int id, int page = 0) const { return *sheet.GetPage(page)->GetPageWindow()->Find(id); }

    // A key as the toolkit reports it: key down, then the character.
    void Type(int id, const wxString& keys)
    {
        wxTextCtrl* text = Widget<wxTextCtrl>(id);
        for (const wxUniChar ch : keys) {
            wxKeyEvent down(wxEVT_KEY_DOWN);
            down.m_keyCode = static_cast<int>(wxToupper(ch));
            down.m_uniChar = static_cast<wxChar>(ch);
            down.SetEventObject(text);
            text->GetEventHandler()->ProcessEvent(down);
            wxKeyEvent typed(wxEVT_CHAR);
            typed.m_keyCode = static_cast<int>(ch);
            typed.m_uniChar = static_cast<wxChar>(ch);
            typed.SetEventObject(text);
            text->GetEventHandler()->ProcessEvent(typed);
            Pump();
        }
    }

    void Key(int keyCode, bool control = false, bool shift = false)
    {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = keyCode;
        key.m_controlDown = control;
        key.m_shiftDown = shift;
        key.SetEventObject(dialog);
        dialog->GetEventHandler()->ProcessEvent(key);
        Pump();
    }

    GuiPage first{kFirst};
    GuiPage second{kSecond};
    CPropertySheet sheet{"Test sheet"};
    SheetDialog* dialog = nullptr;
    std::vector<std::string> messages;

private:
    fw::MessageBoxSink m_previousSink;
};

TEST_F(SheetTest, TypedLettersAreUpperCasedInOrderAndTheTypingLimitHolds)
{
    Type(kKey, "q");
    EXPECT_EQ(Widget<wxTextCtrl>(kKey)->GetValue(), "Q");
    EXPECT_EQ(Model(kKey).Text(), "Q");
    Type(kKey, "w"); // the edit is full
    EXPECT_EQ(Widget<wxTextCtrl>(kKey)->GetValue(), "Q");

    // Each letter lands after the one before: "abc" is "ABC", not "CBA".
    Type(kCaps, "abc");
    EXPECT_EQ(Widget<wxTextCtrl>(kCaps)->GetValue(), "ABC");
    EXPECT_EQ(Widget<wxTextCtrl>(kCaps)->GetInsertionPoint(), 3);
}

TEST_F(SheetTest, TypingReplacesTheSelectionHeldWhenTheKeyWentDown)
{
    Type(kName, "abcd");
    EXPECT_EQ(Model(kName).Text(), "abcd");
    Type(kName, "e");
    EXPECT_EQ(Widget<wxTextCtrl>(kName)->GetValue(), "abcd") << "a fifth character is refused";
    Widget<wxTextCtrl>(kName)->SetSelection(1, 3);
    Type(kName, "x");
    EXPECT_EQ(Widget<wxTextCtrl>(kName)->GetValue(), "axd");
    EXPECT_EQ(Model(kName).Text(), "axd");
}

TEST_F(SheetTest, ProgramTextIsShownInFullAndNotifiesOnce)
{
    first.m_key = "AB"; // longer than the typing limit, as a binding from terrain.ini may be
    first.UpdateData(FALSE);
    EXPECT_EQ(Widget<wxTextCtrl>(kKey)->GetValue(), "AB");

    const int before = first.nameChanges;
    first.SetDlgItemText(kName, "map");
    EXPECT_EQ(Widget<wxTextCtrl>(kName)->GetValue(), "map");
    EXPECT_EQ(first.nameChanges, before + 1) << "the widget must not report the program's change again";

    // The toolkit's own editing (backspace, cut, a drop) arrives as one change.
    Widget<wxTextCtrl>(kName)->SetValue("ma");
    Pump();
    EXPECT_EQ(Model(kName).Text(), "ma");
    EXPECT_EQ(first.nameChanges, before + 2);
}

TEST_F(SheetTest, PasteIsCutToTheTypingLimitAndUpperCased)
{
    if (wxTheClipboard->Open()) {
        wxTheClipboard->SetData(new wxTextDataObject("pasted"));
        wxTheClipboard->Close();
    }
    wxClipboardTextEvent paste(wxEVT_TEXT_PASTE, Widget<wxTextCtrl>(kName)->GetId());
    paste.SetEventObject(Widget<wxTextCtrl>(kName));
    Widget<wxTextCtrl>(kName)->GetEventHandler()->ProcessEvent(paste);
    Pump();
    EXPECT_EQ(Model(kName).Text(), "past");
    EXPECT_EQ(Widget<wxTextCtrl>(kName)->GetValue(), "past");
}

// Ctrl+V makes the entry emit "paste-clipboard"; a drop or a middle click inserts into the
// entry directly. Either way a single-line edit keeps only what precedes the first line break.
TEST_F(SheetTest, PastedAndDroppedTextEndsAtItsFirstLineBreak)
{
    const struct {
        int id;
        const char* pasted;
    } edits[] = {{kName, "ab"}, {kKey, "A"}, {kCaps, "AB"}, {kNumber, "ab"}};
    for (const char* clip : {"ab\r\nWIDTH = 5", "ab\nWIDTH = 5"}) {
        if (wxTheClipboard->Open()) {
            wxTheClipboard->SetData(new wxTextDataObject(clip));
            wxTheClipboard->Close();
        }
        for (const auto& edit : edits) {
            SCOPED_TRACE(edit.id);
            wxTextCtrl* text = Widget<wxTextCtrl>(edit.id);
            first.SetDlgItemText(edit.id, "");
            g_signal_emit_by_name(text->GetHandle(), "paste-clipboard");
            Pump();
            EXPECT_EQ(Model(edit.id).Text(), edit.pasted);
            EXPECT_EQ(text->GetValue(), edit.pasted);

            first.SetDlgItemText(edit.id, "xy");
            int position = 1;
            gtk_editable_insert_text(GTK_EDITABLE(text->GetHandle()), clip, -1, &position);
            Pump();
            EXPECT_EQ(Model(edit.id).Text(), "xaby");
            EXPECT_EQ(text->GetValue(), "xaby");
        }
    }
}

TEST_F(SheetTest, CheckBoxClicksToggleOnceAndNotifyOnce)
{
    wxCheckBox* box = Widget<wxCheckBox>(kBox);
    box->SetValue(true); // what the toolkit does on a click, before it reports it
    wxCommandEvent click(wxEVT_CHECKBOX, box->GetId());
    click.SetInt(1);
    click.SetEventObject(box);
    box->GetEventHandler()->ProcessEvent(click);
    Pump();
    EXPECT_EQ(Model(kBox).Check(), 1);
    EXPECT_EQ(first.boxClicks, 1);
    EXPECT_TRUE(box->GetValue());

    first.CheckDlgButton(kBox, 0);
    EXPECT_FALSE(box->GetValue());
    EXPECT_EQ(first.boxClicks, 1) << "the program's change sends nothing";
}

TEST_F(SheetTest, ButtonClickReachesThePage)
{
    wxButton* button = Widget<wxButton>(kButton);
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(first.buttonClicks, 1);
}

TEST_F(SheetTest, SliderAndItsEditFollowEachOtherAfterTheDrawing)
{
    EXPECT_GE(first.draws, 1) << "a shown page draws its slider";
    wxSlider* slider = Widget<wxSlider>(kSlider);
    EXPECT_EQ(slider->GetMax(), 200);
    slider->SetValue(150);
    wxCommandEvent moved(wxEVT_SLIDER, slider->GetId());
    moved.SetInt(150);
    moved.SetEventObject(slider);
    slider->GetEventHandler()->ProcessEvent(moved);
    EXPECT_EQ(Model(kSlider).Pos(), 150);
    Pump();
    EXPECT_EQ(Widget<wxTextCtrl>(kPos)->GetValue(), "150");

    // The other way: the edit moves the slider, whose drawing writes the edit back.
    Widget<wxTextCtrl>(kPos)->SetValue("500");
    Pump();
    EXPECT_EQ(slider->GetValue(), 200);
    EXPECT_EQ(Widget<wxTextCtrl>(kPos)->GetValue(), "200");
}

TEST_F(SheetTest, TabChangesGoThroughTheSheetAndAFailedCheckKeepsTheTab)
{
    EXPECT_EQ(dialog->Notebook()->GetSelection(), 0);
    EXPECT_EQ(dialog->WidgetOf(1, kName), nullptr) << "a page's widgets wait for its first opening";

    // A click on a tab: the notebook's own change is vetoed and made by the sheet.
    dialog->Notebook()->SetSelection(1);
    Pump();
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(dialog->Notebook()->GetSelection(), 1);
    EXPECT_NE(dialog->WidgetOf(1, kName), nullptr);

    Key(WXK_PAGEUP, true);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    Key(WXK_TAB, true);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    Key(WXK_TAB, true, true);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);

    Widget<wxTextCtrl>(kNumber)->SetValue("abc");
    Pump();
    Key(WXK_PAGEDOWN, true);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(dialog->Notebook()->GetSelection(), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Enter a whole number.");
    dialog->Notebook()->SetSelection(1);
    Pump();
    EXPECT_EQ(dialog->Notebook()->GetSelection(), 0) << "a click is refused the same way";
}

TEST_F(SheetTest, EnterIsOkUnlessTheChecksFailAndEscapeCancels)
{
    Widget<wxTextCtrl>(kNumber)->SetValue("101");
    Pump();
    Key(WXK_RETURN);
    EXPECT_FALSE(sheet.Ended());
    EXPECT_EQ(messages.size(), 1u);

    Widget<wxTextCtrl>(kNumber)->SetValue("100");
    Pump();
    Key(WXK_RETURN);
    EXPECT_TRUE(sheet.Ended());
    EXPECT_EQ(sheet.Result(), IDOK);
    EXPECT_EQ(first.m_number, 100);
}

TEST_F(SheetTest, EscapeAndTheCloseBoxCancelWithoutChecking)
{
    Widget<wxTextCtrl>(kNumber)->SetValue("abc");
    Pump();
    Key(WXK_ESCAPE);
    EXPECT_TRUE(sheet.Ended());
    EXPECT_EQ(sheet.Result(), IDCANCEL);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SheetTest, CloseBoxCancels)
{
    dialog->Close();
    Pump();
    EXPECT_EQ(sheet.Result(), IDCANCEL);
}

TEST_F(SheetTest, EditsCarryTheNamesOfTheirLabels)
{
    auto name = [this](int id) {
        auto* widget = reinterpret_cast<GtkWidgetPtr>(Widget<wxTextCtrl>(id)->GetHandle());
        const char* text = atk_object_get_name(gtk_widget_get_accessible(widget));
        return std::string(text != nullptr ? text : "");
    };
    EXPECT_EQ(name(kName), "Name");
    EXPECT_EQ(name(kKey), "Key");
    EXPECT_EQ(name(kNumber), "Number");
}

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
            const std::string where = "page " + std::to_string(i) + " control " + std::to_string(t.id) + " '" + t.caption + "'";
            const wxSize size(fw::DialogUnitsToPixelsX(t.cx), fw::DialogUnitsToPixelsY(t.cy));
            const wxSize text = dialog->GetTextExtent(wxString::FromUTF8(t.caption));
            switch (t.kind) {
            case ControlKind::Static:
                if (size.GetHeight() < 2 * dialog->GetCharHeight())
                    EXPECT_LE(text.GetWidth(), size.GetWidth()) << where;
                else // wrapped texts fit in height
                    EXPECT_LE(text.GetWidth() / size.GetWidth() + 1, size.GetHeight() / dialog->GetCharHeight() + 1) << where;
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
        {IDC_STATIC, ControlKind::Static, "a long text in a tall box wraps instead of widening", 7, 20, 20, 40, WS_CHILD},
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
        for (wxTreeItemId child = tree->GetFirstChild(item, cookie); child.IsOk(); child = tree->GetNextChild(item, cookie))
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
