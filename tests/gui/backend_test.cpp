// The sheet's window on a real display: the widgets mirror the control model, and the user's
// typing, clicks, drags, tab changes and keys reach the model the way the layer defines.
#include <gtest/gtest.h>

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
#include "framework/wx/message_box.h"
#include "framework/wx/sheet_dialog.h"
#include "tests/gui/gui_test_support.h"

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

    template <class T> T* Widget(int id, int page = 0) const
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

} // namespace
