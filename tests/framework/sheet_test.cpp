// The property sheet's protocol: creating pages, exchanging on entering and leaving, OK, Cancel.
#include <gtest/gtest.h>

#include "framework/core/winapp.h"
#include "framework/headless/headless.h"
#include "tests/framework/test_page.h"
#include "tests/support/cancel_ways.h"

using fw::headless::Driver;
using fw::headless::HeadlessBackend;
using testpage::TestPage;

namespace {

struct ThreePages {
    TestPage first{testpage::kFirst};
    TestPage second{testpage::kSecond};
    TestPage third{testpage::kThird};
    CPropertySheet sheet{"test"};
    ThreePages()
    {
        sheet.AddPage(&first);
        sheet.AddPage(&second);
        sheet.AddPage(&third);
    }
};

} // namespace

TEST(Sheet, TabsInAddOrderAndTheInitialPageOpensFirst)
{
    HeadlessBackend backend;
    ThreePages p;
    backend.sheetScript = [&](Driver& d) {
        EXPECT_EQ(d.ActiveIndex(), 0);
        EXPECT_EQ(d.ActiveTitle(), "First");
        EXPECT_EQ(p.sheet.GetPage(2)->GetTitle(), "Third");
        EXPECT_TRUE(p.first.HasWindow());
        EXPECT_FALSE(p.second.HasWindow()) << "a page's window is made when its tab first opens";
    };
    EXPECT_EQ(p.sheet.DoModal(), IDCANCEL);
}

TEST(Sheet, FirstOpeningInitialisesAndReturnsOnlyLoad)
{
    HeadlessBackend backend;
    ThreePages p;
    backend.sheetScript = [&](Driver& d) {
        ASSERT_TRUE(d.OpenTab(1));
        EXPECT_EQ(p.second.initDialogs, 1);
        EXPECT_EQ(p.second.exchangesLoad, 1);
        EXPECT_EQ(p.first.exchangesSave, 1) << "leaving a tab saves it";
        ASSERT_TRUE(d.OpenTab(0));
        ASSERT_TRUE(d.OpenTab(1));
        EXPECT_EQ(p.second.initDialogs, 1);
        EXPECT_EQ(p.second.exchangesLoad, 2);
        EXPECT_EQ(p.first.initDialogs, 1);
        EXPECT_EQ(p.first.exchangesLoad, 2);
    };
    p.sheet.DoModal();
}

TEST(Sheet, FailedCheckKeepsTheTabUntilCorrected)
{
    HeadlessBackend backend;
    ThreePages p;
    backend.sheetScript = [&](Driver& d) {
        d.TypeOver(testpage::kNumber, "abc");
        EXPECT_FALSE(d.OpenTab(1));
        EXPECT_FALSE(d.NextTab());
        EXPECT_FALSE(d.PressOK());
        EXPECT_FALSE(d.Ended());
        EXPECT_EQ(d.ActiveIndex(), 0);
        EXPECT_EQ(backend.messages.size(), 3u);
        EXPECT_FALSE(p.second.HasWindow());
        d.TypeOver(testpage::kNumber, "5");
        EXPECT_TRUE(d.NextTab());
        EXPECT_EQ(p.first.m_number, 5);
        EXPECT_TRUE(d.PreviousTab());
        EXPECT_TRUE(d.PreviousTab()) << "Ctrl+Shift+Tab wraps to the last tab";
        EXPECT_EQ(d.ActiveIndex(), 2);
    };
    p.sheet.DoModal();
}

TEST(Sheet, OkValidatesOnlyTheActivePage)
{
    HeadlessBackend backend;
    ThreePages p;
    p.second.m_number = 999; // out of range, but its page is never opened
    p.third.m_real = 50.0f;
    backend.sheetScript = [&](Driver& d) {
        d.TypeOver(testpage::kNumber, "12");
        EXPECT_TRUE(d.PressOK());
    };
    EXPECT_EQ(p.sheet.DoModal(), IDOK);
    EXPECT_EQ(p.first.m_number, 12);
    EXPECT_EQ(p.second.m_number, 999);
    EXPECT_EQ(p.second.exchangesLoad + p.second.exchangesSave, 0) << "a page never opened is never exchanged";
    EXPECT_EQ(p.third.m_real, 50.0f);
    EXPECT_TRUE(backend.messages.empty());
}

TEST(Sheet, OkWithAnInvalidValueKeepsTheSheetOpen)
{
    HeadlessBackend backend;
    ThreePages p;
    p.first.m_number = 500; // stored out of range: shown silently, refused on OK
    backend.sheetScript = [&](Driver& d) {
        EXPECT_TRUE(backend.messages.empty());
        EXPECT_FALSE(d.PressEnter());
        EXPECT_EQ(backend.MessageTexts(), (std::vector<std::string>{"Enter a whole number from 0 to 100."}));
        d.TypeOver(testpage::kNumber, "50");
        EXPECT_TRUE(d.PressEnter());
    };
    EXPECT_EQ(p.sheet.DoModal(), IDOK);
    EXPECT_EQ(p.first.m_number, 50);
}

TEST(Sheet, CancelAndCloseBoxValidateNothing)
{
    for (int way = 0; way < testsupport::kCancelWays; ++way) {
        HeadlessBackend backend;
        ThreePages p;
        p.first.m_number = 3;
        backend.sheetScript = [&](Driver& d) {
            d.TypeOver(testpage::kNumber, "not a number");
            testsupport::CancelBy(d, way);
        };
        EXPECT_EQ(p.sheet.DoModal(), IDCANCEL);
        EXPECT_TRUE(backend.messages.empty());
        EXPECT_EQ(p.first.exchangesSave, 0);
        EXPECT_EQ(p.first.m_number, 3);
    }
}

TEST(Sheet, PageWindowsGoWithTheSheetAndFieldsStay)
{
    HeadlessBackend backend;
    ThreePages p;
    backend.sheetScript = [&](Driver& d) {
        d.TypeOver(testpage::kName, "keep");
        d.OpenTab(2);
        d.PressCancel();
    };
    p.sheet.DoModal();
    EXPECT_FALSE(p.first.HasWindow());
    EXPECT_FALSE(p.third.HasWindow());
    EXPECT_EQ(p.first.m_name, "keep");
}

TEST(Sheet, WithoutBackendOrPagesTheSheetDoesNotOpen)
{
    CPropertySheet empty("none");
    EXPECT_EQ(empty.DoModal(), -1);
    HeadlessBackend backend;
    CPropertySheet stillEmpty("none");
    EXPECT_EQ(stillEmpty.DoModal(), -1);
}

namespace {

class HelpApp : public CWinApp {
public:
    int helps = 0;
    void OnHelp() { ++helps; }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(HelpApp, CWinApp)
    ON_COMMAND(ID_HELP, &HelpApp::OnHelp)
END_MESSAGE_MAP()

} // namespace

TEST(Sheet, HelpButtonAndF1SendHelpToTheApplication)
{
    HelpApp app;
    HeadlessBackend backend;
    ThreePages p;
    backend.sheetScript = [&](Driver& d) {
        d.PressHelp();
        d.PressF1();
    };
    p.sheet.DoModal();
    EXPECT_EQ(app.helps, 2);
    EXPECT_FALSE(app.OnCmdMsg(WM_COMMAND, 0, ID_HELP_FINDER)) << "unlisted commands find no handler";
}

TEST(Sheet, RuntimeClassNamesTheClass)
{
    TestPage page;
    EXPECT_STREQ(page.GetRuntimeClass()->m_lpszClassName, "CPropertyPage");
    EXPECT_TRUE(page.GetRuntimeClass()->IsDerivedFrom(RUNTIME_CLASS(CWnd)));
    CPropertySheet sheet("x");
    EXPECT_STREQ(sheet.GetRuntimeClass()->m_lpszClassName, "CPropertySheet");
}

// As in the launcher, the sheet is built first, so its pages are destroyed before it is. A sheet
// whose destructor reached them would read freed memory: only the sanitizer build (AddressSanitizer)
// sees that and fails here; elsewhere the test passes whatever the sheet does.
TEST(Sheet, OutlivingItsPagesReadsNoFreedMemoryUnderAddressSanitizer)
{
    HeadlessBackend backend;
    auto sheet = std::make_unique<CPropertySheet>("test");
    {
        TestPage page;
        sheet->AddPage(&page);
        backend.sheetScript = [](Driver& d) { d.PressOK(); };
        EXPECT_EQ(sheet->DoModal(), IDOK);
    }
    sheet.reset();
}
