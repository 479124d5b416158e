// A small page on an ad-hoc template that records what the framework does to it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/core/dialog_template.h"
#include "framework/core/propsheet.h"
#include "framework/headless/headless.h"

namespace testpage {

enum : int {
    kNumber = 100,  // int edit
    kReal = 101,    // float edit
    kName = 102,    // string edit, limited to 4 characters
    kKey = 103,     // upper-casing edit, limited to 1
    kBox = 104,     // auto check box
    kButton = 105,  // push button
    kSlider = 106,  // slider
    kPicture = 107, // picture
    kFree = 108,    // edit no message map entry
};

inline constexpr fw::ControlTemplate kControls[] = {
    {kNumber, fw::ControlKind::Edit, "", 10, 10, 40, 12,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {kReal, fw::ControlKind::Edit, "", 10, 30, 40, 12, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {kName, fw::ControlKind::Edit, "", 10, 50, 40, 12, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {kKey, fw::ControlKind::Edit, "", 10, 70, 11, 12,
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_UPPERCASE},
    {kBox, fw::ControlKind::CheckBox, "box", 10, 90, 40, 10, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
    {kButton, fw::ControlKind::PushButton, "...", 60, 90, 17, 11, WS_CHILD | WS_VISIBLE | WS_TABSTOP},
    {kSlider, fw::ControlKind::Slider, "", 10, 110, 100, 15, WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_NOTICKS},
    {kPicture, fw::ControlKind::Picture, "", 10, 130, 50, 50, WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE},
    {kFree, fw::ControlKind::Edit, "", 60, 10, 40, 12, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP},
};

inline constexpr fw::DialogTemplate MakeTemplate(int id, const char* caption)
{
    return {
        id,       caption, 200, 200, "MS Shell Dlg", 8, WS_CHILD | WS_DISABLED | WS_CAPTION | DS_SETFONT | DS_FIXEDSYS,
        kControls};
}

inline constexpr fw::DialogTemplate kFirst = MakeTemplate(501, "First");
inline constexpr fw::DialogTemplate kSecond = MakeTemplate(502, "Second");
inline constexpr fw::DialogTemplate kThird = MakeTemplate(503, "Third");

// Exchanges: number (int), real (float, 1..10), name (string, at most 4), key (at most 1),
// box, then the range check on number (0..100) after all reads.
class TestPage : public CPropertyPage {
public:
    explicit TestPage(const fw::DialogTemplate& tmpl = kFirst) : CPropertyPage(tmpl) {}

    int m_number = 0;
    float m_real = 1.0f;
    CString m_name;
    CString m_key;
    int m_box = 0;
    CSliderCtrl m_slider;
    CStatic m_picture;

    std::vector<std::string> events;
    int initDialogs = 0;
    int exchangesLoad = 0;
    int exchangesSave = 0;
    // Set by the slider's drawing: the edit follows the slider.
    bool followSlider = false;

    BOOL OnInitDialog() override
    {
        ++initDialogs;
        events.push_back("init");
        return CPropertyPage::OnInitDialog();
    }

    void DoDataExchange(CDataExchange* pDX) override
    {
        ++(pDX->m_bSaveAndValidate ? exchangesSave : exchangesLoad);
        events.push_back(pDX->m_bSaveAndValidate ? "save" : "load");
        DDX_Text(pDX, kNumber, m_number);
        DDX_Text(pDX, kReal, m_real);
        DDX_Text(pDX, kName, m_name);
        DDV_MaxChars(pDX, m_name, 4);
        DDX_Text(pDX, kKey, m_key);
        DDV_MaxChars(pDX, m_key, 1);
        DDX_Check(pDX, kBox, m_box);
        DDX_Control(pDX, kSlider, m_slider);
        DDX_Control(pDX, kPicture, m_picture);
        DDV_MinMaxFloat(pDX, m_real, 1.0f, 10.0f);
        DDV_MinMaxInt(pDX, m_number, 0, 100);
    }

    void OnNumberUpdate() { events.push_back("number:update"); }
    void OnNumberChange() { events.push_back("number:change"); }
    void OnNameUpdate() { events.push_back("name:update"); }
    void OnKeyChange() { events.push_back("key:change"); }
    void OnBoxClicked() { events.push_back(std::string("box:clicked:") + (IsDlgButtonChecked(kBox) ? "1" : "0")); }
    void OnButtonClicked() { events.push_back("button:clicked"); }
    void OnRealChange()
    {
        events.push_back("real:change");
        if (followSlider)
            m_slider.SetPos(static_cast<int>(GetDlgItemInt(kReal)));
    }
    void OnSliderDraw(NMHDR* header, LRESULT* result)
    {
        events.push_back("slider:draw:" + std::to_string(m_slider.GetPos()));
        EXPECT_EQ(header->code, static_cast<UINT>(NM_CUSTOMDRAW));
        if (followSlider)
            SetDlgItemInt(kReal, static_cast<UINT>(m_slider.GetPos()));
        *result = CDRF_DODEFAULT;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

// A sheet of the first and the second test page, on their own templates.
struct TwoPages {
    TestPage first{kFirst};
    TestPage second{kSecond};
    CPropertySheet sheet{"test"};
    TwoPages()
    {
        sheet.AddPage(&first);
        sheet.AddPage(&second);
    }
};

// Runs a sheet of the one page; the script plays the user. Returns the sheet's result.
inline int RunPage(TestPage& page, fw::headless::HeadlessBackend& backend,
                   std::function<void(fw::headless::Driver&)> script)
{
    CPropertySheet sheet("test");
    sheet.AddPage(&page);
    backend.sheetScript = std::move(script);
    return static_cast<int>(sheet.DoModal());
}

} // namespace testpage
