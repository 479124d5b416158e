// Controls as the user and the program change them: notifications, typing limits, upper-casing,
// check boxes and the slider's drawing; and the labels that name controls on every backend.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "framework/core/control_labels.h"
#include "framework/core/reading_order.h"
#include "framework/headless/headless.h"
#include "tests/framework/test_page.h"

using fw::headless::Driver;
using fw::headless::HeadlessBackend;
using testpage::RunPage;
using testpage::TestPage;

namespace {

std::vector<std::string> After(const std::vector<std::string>& events, size_t from)
{
    return {events.begin() + static_cast<std::ptrdiff_t>(from), events.end()};
}

} // namespace

TEST(Edits, TypedAndProgramSetTextSendUpdateThenChange)
{
    HeadlessBackend backend;
    TestPage page;
    RunPage(page, backend, [&](Driver& d) {
        const size_t mark = page.events.size();
        d.Type(testpage::kNumber, "12");
        EXPECT_EQ(After(page.events, mark),
                  (std::vector<std::string>{"number:update", "number:change", "number:update", "number:change"}));
        const size_t mark2 = page.events.size();
        page.SetDlgItemText(testpage::kNumber, "7");
        EXPECT_EQ(After(page.events, mark2), (std::vector<std::string>{"number:update", "number:change"}));
        // Setting the text it already shows is no change.
        const size_t mark3 = page.events.size();
        page.SetDlgItemText(testpage::kNumber, "7");
        EXPECT_EQ(page.events.size(), mark3);
    });
}

TEST(Edits, TypingLimitAppliesToTypingOnly)
{
    HeadlessBackend backend;
    TestPage page;
    page.m_name = "toolong"; // from the program: shown in full
    RunPage(page, backend, [&](Driver& d) {
        EXPECT_EQ(d.Text(testpage::kName), "toolong");
        EXPECT_EQ(d.Type(testpage::kName, "x"), 0) << "a full edit takes no more typing";
        EXPECT_EQ(d.Text(testpage::kName), "toolong");
        d.Clear(testpage::kName);
        EXPECT_EQ(d.Type(testpage::kName, "abcdef"), 4);
        EXPECT_EQ(d.Text(testpage::kName), "abcd");
        // Typing over the selection replaces it even when the edit is full.
        d.Select(testpage::kName, 1, 2);
        EXPECT_EQ(d.TypeAtCaret(testpage::kName, "Z"), 1);
        EXPECT_EQ(d.Text(testpage::kName), "aZcd");
        // A paste is cut to the room left.
        d.Select(testpage::kName, 4, 4);
        d.Clear(testpage::kName);
        d.Paste(testpage::kName, "123456");
        EXPECT_EQ(d.Text(testpage::kName), "1234");
        // Characters, not bytes: four two-byte letters fit.
        d.Clear(testpage::kName);
        d.Type(testpage::kName, "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xC3\xA4");
        EXPECT_EQ(d.Text(testpage::kName), "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F");
    });
}

TEST(Edits, UpperCaseEditCapitalisesTypedAndPastedLetters)
{
    HeadlessBackend backend;
    TestPage page;
    RunPage(page, backend, [&](Driver& d) {
        d.Type(testpage::kKey, "q");
        EXPECT_EQ(d.Text(testpage::kKey), "Q");
        EXPECT_EQ(d.Type(testpage::kKey, "w"), 0);
        d.TypeOver(testpage::kKey, "w");
        EXPECT_EQ(d.Text(testpage::kKey), "W");
        d.PasteOver(testpage::kKey, "e");
        EXPECT_EQ(d.Text(testpage::kKey), "E");
        // Letters only: digits and punctuation stay as typed.
        d.TypeOver(testpage::kKey, ";");
        EXPECT_EQ(d.Text(testpage::kKey), ";");
    });
    // Text the program sets is not upper-cased.
    TestPage other;
    other.m_key = "q";
    RunPage(other, backend, [&](Driver& d) { EXPECT_EQ(d.Text(testpage::kKey), "q"); });
}

// A single-line edit keeps of pasted or dropped text only what precedes its first line break,
// so that no value can add a line to terrain.ini.
TEST(Edits, PastedAndDroppedTextEndsAtItsFirstLineBreak)
{
    HeadlessBackend backend;
    TestPage page;
    RunPage(page, backend, [&](Driver& d) {
        const struct {
            int id;
            const char* pasted;
        } edits[] = {{testpage::kName, "ab"}, {testpage::kKey, "A"}, {testpage::kNumber, "ab"}};
        for (const std::string clip : {"ab\r\nWIDTH = 5", "ab\nWIDTH = 5"}) {
            for (const auto& edit : edits) {
                SCOPED_TRACE(edit.id);
                d.PasteOver(edit.id, clip);
                EXPECT_EQ(d.Text(edit.id), edit.pasted);
                // A drop: the toolkit puts the text between "x" and "y" itself.
                d.ControlById(edit.id).SetText("xy");
                d.ControlById(edit.id).UserReplaceText("x" + clip + "y");
                EXPECT_EQ(d.Text(edit.id), "xaby");
            }
        }
    });
}

TEST(CheckBoxes, AutoBoxTogglesBeforeClickAndProgramChangesAreSilent)
{
    HeadlessBackend backend;
    TestPage page;
    RunPage(page, backend, [&](Driver& d) {
        d.Click(testpage::kBox);
        d.Click(testpage::kBox);
        EXPECT_EQ(After(page.events, page.events.size() - 2),
                  (std::vector<std::string>{"box:clicked:1", "box:clicked:0"}));
        const size_t mark = page.events.size();
        page.CheckDlgButton(testpage::kBox, 1);
        EXPECT_EQ(page.events.size(), mark);
        EXPECT_EQ(page.IsDlgButtonChecked(testpage::kBox), 1u);
        d.Click(testpage::kButton);
        EXPECT_EQ(page.events.back(), "button:clicked");
    });
}

TEST(Sliders, PositionStaysInRangeAndDrawsAfterTheHandler)
{
    HeadlessBackend backend;
    TestPage page;
    RunPage(page, backend, [&](Driver& d) {
        page.m_slider.SetRange(0, 50, FALSE);
        page.events.clear();
        page.m_slider.SetPos(80);
        EXPECT_EQ(page.m_slider.GetPos(), 50);
        EXPECT_TRUE(page.events.empty()) << "drawing waits until the input is handled";
        fw::RunPendingDrawing();
        EXPECT_EQ(page.events, (std::vector<std::string>{"slider:draw:50"}));
        page.events.clear();
        page.m_slider.SetPos(50);                         // the position it has: no drawing
        page.m_slider.SendMessage(TBM_SETPOS, FALSE, 10); // moved without redraw: no drawing
        fw::RunPendingDrawing();
        EXPECT_TRUE(page.events.empty());
        page.m_slider.SetPos(-5);
        fw::RunPendingDrawing();
        EXPECT_EQ(page.m_slider.GetPos(), 0);
        // Narrowing the range moves the position into it.
        page.m_slider.SetPos(40);
        page.m_slider.SetRangeMax(20, FALSE);
        EXPECT_EQ(page.m_slider.GetPos(), 20);
        d.DragSlider(testpage::kSlider, 1000);
        EXPECT_EQ(d.SliderPos(testpage::kSlider), 20);
    });
}

TEST(Sliders, EditAndSliderFollowingEachOtherSettle)
{
    HeadlessBackend backend;
    TestPage page;
    page.followSlider = true;
    RunPage(page, backend, [&](Driver& d) {
        page.m_slider.SetRange(0, 100, FALSE);
        page.events.clear();
        d.PasteOver(testpage::kReal, "250");
        // The edit moved the slider to its end; its drawing rewrote the edit; that change set the
        // slider to the position it already had, and there it stopped.
        EXPECT_EQ(d.Text(testpage::kReal), "100");
        EXPECT_EQ(d.SliderPos(testpage::kSlider), 100);
        EXPECT_FALSE(fw::HasPendingDrawing());
        EXPECT_EQ(page.events, (std::vector<std::string>{"real:change", "slider:draw:100", "real:change"}));
        d.DragSlider(testpage::kSlider, 30);
        EXPECT_EQ(d.Text(testpage::kReal), "30");
    });
}

TEST(Sliders, ShowingAPageDrawsItsSliders)
{
    HeadlessBackend backend;
    testpage::TwoPages p;
    TestPage& first = p.first;
    backend.sheetScript = [&](Driver& d) {
        EXPECT_EQ(std::count(first.events.begin(), first.events.end(), "slider:draw:0"), 1);
        d.OpenTab(1);
        first.events.clear();
        first.m_slider.SetPos(5); // a hidden page does not draw
        fw::RunPendingDrawing();
        EXPECT_TRUE(first.events.empty());
        d.OpenTab(0);
        EXPECT_EQ(first.events.back(), "slider:draw:5");
    };
    p.sheet.DoModal();
}

TEST(Notifications, UnlistedNotificationsReachNoHandler)
{
    HeadlessBackend backend;
    TestPage page;
    RunPage(page, backend, [&](Driver& d) {
        const size_t mark = page.events.size();
        d.Type(testpage::kFree, "abc");
        d.Type(testpage::kName, "x"); // EN_CHANGE of kName is not listed; EN_UPDATE is
        EXPECT_EQ(After(page.events, mark), (std::vector<std::string>{"name:update"}));
    });
}

TEST(Notifications, GetDlgItemIntReadsWholeSignedNumbersOnly)
{
    HeadlessBackend backend;
    TestPage page;
    RunPage(page, backend, [&](Driver& d) {
        const auto read = [&](const char* text, BOOL* ok) {
            page.SetDlgItemText(testpage::kFree, text);
            return static_cast<int>(page.GetDlgItemInt(testpage::kFree, ok, TRUE));
        };
        BOOL ok = FALSE;
        EXPECT_EQ(read(" -42 ", &ok), -42);
        EXPECT_TRUE(ok);
        EXPECT_EQ(read("12.5", &ok), 0);
        EXPECT_FALSE(ok);
        EXPECT_EQ(read("", &ok), 0);
        EXPECT_FALSE(ok);
        EXPECT_EQ(read("99999999999", &ok), 0);
        EXPECT_FALSE(ok);
        EXPECT_EQ(read("-2147483648", &ok), INT_MIN);
        EXPECT_TRUE(ok);
        (void)d;
    });
}

namespace {

using fw::ControlKind;

// The label and the accessible name of a control of one of the program's dialogs.
std::pair<std::string, std::string> NamesOf(int dialog, int controlId)
{
    const fw::DialogTemplate* tmpl = fw::FindDialogTemplate(dialog);
    if (tmpl == nullptr)
        return {"<no dialog>", ""};
    for (std::size_t i = 0; i < tmpl->controls.size(); ++i)
        if (tmpl->controls[i].id == controlId)
            return {fw::LabelFor(*tmpl, i), fw::AccessibleNameFor(*tmpl, i)};
    return {"<no control>", ""};
}

std::string LabelOf(int dialog, int controlId) { return NamesOf(dialog, controlId).first; }

} // namespace

TEST(ControlLabels, EveryEditOfTheProgramsDialogsIsNamedAfterTheTextBesideIt)
{
    // Labels standing after their edit in template order, in a second column, or beside a
    // longer label on the same line.
    EXPECT_EQ(LabelOf(9, 1009), "strafe left");
    EXPECT_EQ(LabelOf(9, 1010), "strafe right");
    EXPECT_EQ(LabelOf(9, 1015), "toggle shading");
    EXPECT_EQ(LabelOf(9, 1018), "toggle frustum culling");
    EXPECT_EQ(LabelOf(9, 1022), "decrease local detail");
    EXPECT_EQ(LabelOf(9, 1002), "Movement Speed");
    EXPECT_EQ(LabelOf(107, 1014), "Select Map");
    EXPECT_EQ(LabelOf(107, 1002), "Height");
    EXPECT_EQ(LabelOf(107, 1006), "global Detail");
    EXPECT_EQ(LabelOf(107, 1013), "maximum Detail");
    EXPECT_EQ(LabelOf(108, 1009), "Field Of View (degrees in y direction)");
    EXPECT_EQ(LabelOf(108, 1018), "clipping plane far distance");
    EXPECT_EQ(LabelOf(109, 1017), "texture edge length (in map coordinates)");

    for (int dialog : {9, 107, 108, 109}) {
        const fw::DialogTemplate* tmpl = fw::FindDialogTemplate(dialog);
        ASSERT_NE(tmpl, nullptr);
        for (std::size_t i = 0; i < tmpl->controls.size(); ++i) {
            if (tmpl->controls[i].kind == ControlKind::Edit) {
                EXPECT_FALSE(fw::LabelFor(*tmpl, i).empty()) << "dialog " << dialog << " edit " << tmpl->controls[i].id;
            }
        }
    }
}

TEST(ControlLabels, FallsBackToThePrecedingStaticAndOtherwiseHasNone)
{
    static constexpr fw::ControlTemplate controls[] = {
        {-1, ControlKind::Static, "Above", 10, 10, 60, 8, 0},
        {1, ControlKind::Edit, "", 10, 20, 60, 12, 0}, // its label is above it
        {2, ControlKind::Edit, "", 10, 40, 60, 12, 0}, // follows an edit, nothing beside
        {-1, ControlKind::Static, "Right of it", 80, 40, 60, 8, 0},
    };
    static constexpr fw::DialogTemplate tmpl{1, "t", 200, 100, "", 8, 0, controls};
    EXPECT_EQ(fw::LabelFor(tmpl, 1), "Above");
    EXPECT_EQ(fw::LabelFor(tmpl, 2), "");
    EXPECT_EQ(fw::LabelFor(tmpl, 9), "");
}

TEST(ControlLabels, TheSliderTakesTheCaptionAboveItAndButtonsTheirOwn)
{
    // The edge-length slider lies under its caption, listed after it and after its edit.
    EXPECT_EQ(NamesOf(109, 1016), std::make_pair(std::string("texture edge length (in map coordinates)"),
                                                 std::string("texture edge length (in map coordinates)")));
    EXPECT_EQ(NamesOf(107, 1014).second, "Select Map");
    EXPECT_EQ(NamesOf(107, 1005).second, "Benchmark Mode");
    EXPECT_EQ(NamesOf(108, 1007).second, "arb_vertex_buffer_object");
    EXPECT_EQ(NamesOf(107, 1004).second, "...");
    EXPECT_EQ(NamesOf(107, 1008).second, ""); // the preview
}

// Tab and screen readers take each page as it is laid out: every control once, labels right
// before their controls, the preview and texts where they stand, a column read down before the
// next, blocks apart read one after the other. Controls are shown by their captions, edits and
// the slider by their numbers.
TEST(ReadingOrder, FollowsTheLayoutOfEachProgramPage)
{
    const struct {
        int dialog;
        std::vector<std::string> order;
    } pages[] = {
        {107,
         {"Select Map",
          "1014",
          "...",
          "1008",
          "Screen Width",
          "1001",
          "Height",
          "1002",
          "Benchmark Mode",
          "perform frustum culling",
          "demonstrate frustum culling",
          "run in fullscreen",
          "global Detail",
          "1006",
          "local Detail",
          "1009",
          "minimum Detail",
          "1012",
          "maximum Detail",
          "1013"}},
        {109,
         {"Select Map", "1018", "...", "1008", "texture edge length (in map coordinates)", "1017", "1016",
          "set this to 0 if the texture map shall be applied to the whole map", "enable texture mapping"}},
        {108,
         {"Field of View", "Field Of View (degrees in y direction)", "1009", "FOV aspect ratio", "1013",
          "clipping plane near distance", "1015", "clipping plane far distance", "1018", "OpenGL Extensions",
          "gl_vertex_array", "gl_compiled_vertex_array", "gl_multi_draw_arrays", "arb_vertex_buffer_object",
          "Check the OpenGL extensions to use. These settings may have a significant impact on performance, so "
          "don't change them unless you are familiar with their meanings.",
          "For more information on extensions visit www.opengl.org"}},
        {9,
         {"Movement Speed",
          "1002",
          "free move",
          "move forward",
          "1011",
          "move backward",
          "1012",
          "move up",
          "1013",
          "move down",
          "1014",
          "toggle shading",
          "1015",
          "toggle polygon mode",
          "1016",
          "toggle texture",
          "1017",
          "toggle frustum culling",
          "1018",
          "strafe left",
          "1009",
          "strafe right",
          "1010",
          "increase global detail",
          "1019",
          "decrease global detail",
          "1020",
          "increase local detail",
          "1021",
          "decrease local detail",
          "1022"}},
    };
    for (const auto& page : pages) {
        const fw::DialogTemplate* tmpl = fw::FindDialogTemplate(page.dialog);
        ASSERT_NE(tmpl, nullptr);
        std::vector<std::string> read;
        for (const std::size_t i : fw::ReadingOrder(*tmpl)) {
            const fw::ControlTemplate& control = tmpl->controls[i];
            const bool numbered = control.kind == ControlKind::Edit || control.kind == ControlKind::Slider ||
                                  control.kind == ControlKind::Picture;
            read.push_back(numbered ? std::to_string(control.id) : control.caption);
        }
        EXPECT_EQ(read, page.order) << "dialog " << page.dialog;
    }
}
