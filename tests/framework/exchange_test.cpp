// The data exchange: order, the stop at the first failing step, messages, number formats.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/core/control.h"
#include "framework/core/winapp.h"
#include "framework/headless/headless.h"
#include "tests/framework/test_page.h"

using fw::headless::Driver;
using fw::headless::HeadlessBackend;
using testpage::RunPage;
using testpage::TestPage;

namespace {

// Counts how often the program rewrote each edit's text.
class TextWrites : public fw::ControlView {
public:
    void TextChanged(fw::Control& control) override { ++counts[control.Id()]; }
    std::map<int, int> counts;
};

} // namespace

TEST(Exchange, LoadDirectionFillsControlsWithoutNotifications)
{
    HeadlessBackend backend;
    TestPage page;
    page.m_number = 42;
    page.m_real = 2.5f;
    page.m_name = "ab";
    page.m_box = 1;
    RunPage(page, backend, [&](Driver& d) {
        EXPECT_EQ(d.Text(testpage::kNumber), "42");
        EXPECT_EQ(d.Text(testpage::kReal), "2.5");
        EXPECT_EQ(d.Text(testpage::kName), "ab");
        EXPECT_EQ(d.Check(testpage::kBox), 1);
        EXPECT_EQ(page.events, (std::vector<std::string>{"init", "load", "slider:draw:0"}))
            << "filling the edits ran none of their handlers";
    });
}

TEST(Exchange, LoadDirectionRewritesOnlyEditsThatDiffer)
{
    HeadlessBackend backend;
    testpage::TwoPages p;
    TestPage& first = p.first;
    TextWrites writes;
    backend.sheetScript = [&](Driver& d) {
        for (const auto& control : first.GetPageWindow()->Controls())
            control->SetView(&writes);
        d.OpenTab(1);
        first.m_number = 7; // changed behind the page's back
        d.OpenTab(0);
        EXPECT_EQ(writes.counts[testpage::kNumber], 1);
        EXPECT_EQ(writes.counts.count(testpage::kName), 0u);
        EXPECT_EQ(writes.counts.count(testpage::kReal), 0u);
        for (const auto& control : first.GetPageWindow()->Controls())
            control->SetView(nullptr);
    };
    p.sheet.DoModal();
}

TEST(Exchange, FirstFailingStepStopsTheExchange)
{
    HeadlessBackend backend;
    CWinApp app("Exchange test"); // the application's name is the boxes' caption
    TestPage page;
    page.m_name = "ok";
    RunPage(page, backend, [&](Driver& d) {
        d.TypeOver(testpage::kNumber, "500"); // out of range: checked last
        d.TypeOver(testpage::kReal, "x");     // not a number: the first failure
        d.TypeOver(testpage::kName, "new");
        EXPECT_FALSE(page.UpdateData(TRUE));
        EXPECT_EQ(backend.MessageTexts(), (std::vector<std::string>{"Enter a number."}));
        EXPECT_EQ(page.m_number, 500) << "the step before the failure stored its field";
        EXPECT_EQ(page.m_name, "ok") << "steps after the failure did nothing";
        EXPECT_EQ(d.FocusId(), testpage::kReal);

        d.TypeOver(testpage::kReal, "3");
        EXPECT_FALSE(page.UpdateData(TRUE));
        EXPECT_EQ(backend.messages.back().text, "Enter a whole number from 0 to 100.");
        EXPECT_EQ(page.m_name, "new") << "all reads ran before the range check";
        EXPECT_EQ(d.FocusId(), testpage::kNumber) << "the focus goes to the field that failed";
        EXPECT_EQ(backend.messages.back().style, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(backend.messages.back().caption, "Exchange test");
    });
}

TEST(Exchange, StandardMessagesNameTheCheck)
{
    HeadlessBackend backend;
    TestPage page;
    RunPage(page, backend, [&](Driver& d) {
        d.TypeOver(testpage::kNumber, "1.5");
        page.UpdateData(TRUE);
        d.TypeOver(testpage::kNumber, "1");
        d.TypeOver(testpage::kReal, "10.5");
        page.UpdateData(TRUE);
        page.m_real = 10.0f;
        page.m_key = "AB";
        page.UpdateData(FALSE);
        page.UpdateData(TRUE);
        d.Clear(testpage::kKey);
        EXPECT_TRUE(page.UpdateData(TRUE));
    });
    EXPECT_EQ(backend.MessageTexts(), (std::vector<std::string>{"Enter a whole number.", "Enter a number from 1 to 10.",
                                                                "Enter no more than 1 character."}));
}

TEST(Exchange, NumbersAreReadStrictly)
{
    int i = -1;
    EXPECT_TRUE(fw::ParseInt(" 12 ", i));
    EXPECT_EQ(i, 12);
    EXPECT_TRUE(fw::ParseInt("+7", i));
    EXPECT_EQ(i, 7);
    EXPECT_TRUE(fw::ParseInt("-2147483648", i));
    EXPECT_EQ(i, INT_MIN);
    for (const char* bad : {"", " ", "12abc", "1.0", "2147483648", "--1", "+-1", "0x10"})
        EXPECT_FALSE(fw::ParseInt(bad, i)) << bad;

    float f = -1;
    EXPECT_TRUE(fw::ParseFloat("2.5", f));
    EXPECT_EQ(f, 2.5f);
    EXPECT_TRUE(fw::ParseFloat(" -1e3 ", f));
    EXPECT_EQ(f, -1000.0f);
    EXPECT_TRUE(fw::ParseFloat(".5", f));
    EXPECT_EQ(f, 0.5f);
    for (const char* bad : {"", "abc", "2,5", "1.5x", "inf", "nan", "1e39", "0x1p3"})
        EXPECT_FALSE(fw::ParseFloat(bad, f)) << bad;
}

TEST(Exchange, FloatsShowInTheFewestDigitsThatReadBack)
{
    EXPECT_STREQ(fw::FormatFloat(0.1f), "0.1");
    EXPECT_STREQ(fw::FormatFloat(150.0f), "150");
    EXPECT_STREQ(fw::FormatFloat(-1.5f), "-1.5");
    for (float value : {0.1f, 3.14159274f, 1e-7f, 123456.789f, 5000.1f, 1e30f}) {
        float back = 0;
        ASSERT_TRUE(fw::ParseFloat(fw::FormatFloat(value), back)) << fw::FormatFloat(value).c_str();
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0);
    }
}

TEST(Exchange, CheckBoxesStoreZeroOrOne)
{
    HeadlessBackend backend;
    TestPage page;
    page.m_box = 5; // a flag other than 0 or 1 shows as set
    RunPage(page, backend, [&](Driver& d) {
        EXPECT_EQ(d.Check(testpage::kBox), 1);
        page.UpdateData(TRUE);
        EXPECT_EQ(page.m_box, 1);
    });
}

TEST(Exchange, ControlMembersAttachOnceAndDetachWithTheWindow)
{
    HeadlessBackend backend;
    TestPage page;
    RunPage(page, backend, [&](Driver& d) {
        ASSERT_TRUE(page.m_slider.IsAttached());
        EXPECT_EQ(page.GetDlgItem(testpage::kSlider), &page.m_slider);
        page.UpdateData(FALSE);
        EXPECT_EQ(page.m_slider.GetControl(), &d.ControlById(testpage::kSlider));
    });
    EXPECT_FALSE(page.m_slider.IsAttached()) << "the page window is gone with the sheet";
    EXPECT_EQ(page.m_slider.GetPos(), 0);
}
