// One run of the launcher from start to exit: terrain.ini in, the sheet, terrain.ini out and the
// engine started, with real files in a temporary directory and the stand-in engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "app/launcher_app.h"
#include "app/page_fields.h"
#include "app/setting_controls.h"
#include "framework/core/access_keys.h"
#include "framework/core/control_labels.h"
#include "framework/core/ddx.h"
#include "framework/core/page_window.h"
#include "framework/core/program_names.h"
#include "framework/headless/headless.h"
#include "pages/controls_page.h"
#include "pages/map_prop_page.h"
#include "pages/prop_page_opengl.h"
#include "pages/texture_prop_page.h"
#include "res/resource.h"
#include "settings/parameter_descriptions.h"
#include "settings/parameter_keys.h"
#include "settings/settings_file.h"
#include "tests/support/bmp_files.h"
#include "tests/support/cancel_ways.h"
#include "tests/support/setting_rows.h"
#include "tests/support/temp_dir.h"
#include "tests/support/windows_engine.h"

using fw::headless::Driver;
using fw::headless::HeadlessBackend;
using testsupport::InTempDir;
using testsupport::ReadFile;
using testsupport::WriteFile;
namespace fs = std::filesystem;

namespace {

// As the program does before it makes its application object.
[[maybe_unused]] const bool kIntroduced = (IntroduceLauncher(), true);

// terrain.ini as the writer makes it from the built-in defaults.
std::string DefaultFile()
{
    ParameterTable table;
    table.buildDefaults();
    std::array<ParameterEntry, ParameterTable::EntryCount> values{};
    for (int i = 0; i < ParameterTable::EntryCount; ++i)
        values[static_cast<size_t>(i)] = table.entries()[i];
    std::string text;
    EXPECT_TRUE(formatSettingsValues(values, text));
    table.release();
    return text;
}

void InstallEngine(const fs::path& dir)
{
    fs::copy_file(SANDREL_STANDIN_ENGINE, dir / "Quellmark.exe", fs::copy_options::overwrite_existing);
}

// The stand-in engine's record of its start, once it has written it.
std::string EngineRecord(const fs::path& dir, bool expectStarted = true)
{
    const fs::path log = dir / "quellmark-run.log";
    for (int i = 0; i < (expectStarted ? 500 : 30) && !fs::exists(log); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fs::exists(log) ? ReadFile(log) : std::string();
}

template <class Page> Page& PageOf(Driver& d, int index)
{
    auto* page = dynamic_cast<Page*>(d.Sheet().GetPage(index));
    if (page == nullptr)
        throw std::logic_error("unexpected page");
    return *page;
}

struct LauncherRun {
    InTempDir dir;
    HeadlessBackend backend;
    LauncherApp app;
};

} // namespace

TEST(Launcher, WithoutTerrainIniTheDefaultsAreShownAndOkWritesThemAndStartsTheEngine)
{
#ifdef _WIN32
    GTEST_SKIP()
        << "the file's LF line ends and the stand-in's record are Linux's; WindowsSettingsFile checks the CR LF file";
#endif
    LauncherRun run;
    InstallEngine(run.dir.Path());
    run.backend.sheetScript = [&](Driver& d) {
        const MapPropPage& general = PageOf<MapPropPage>(d, 0);
        EXPECT_EQ(general.m_width, DefaultsOf("WIDTH").intDefault);
        EXPECT_EQ(general.m_mapName, DefaultsOf("MAP_NAME").textDefault);
        const ControlsPage& controls = PageOf<ControlsPage>(d, 3);
        EXPECT_EQ(controls.m_transSpeed, DefaultsOf("TRANS_SPEED").floatDefault);
        EXPECT_EQ(controls.m_keyLocalDetailDown, "K");
        EXPECT_FALSE(fs::exists("terrain.ini"));
        d.PressOK();
    };
    EXPECT_FALSE(run.app.InitInstance());
    EXPECT_EQ(run.app.ExitInstance(), ExitDone);
    const std::string written = ReadFile(run.dir.Path() / "terrain.ini");
    EXPECT_EQ(written, DefaultFile());
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 40);

    const std::string record = EngineRecord(run.dir.Path());
    EXPECT_NE(record.find("cwd=" + run.dir.Path().string() + "\n"), std::string::npos) << record;
    EXPECT_NE(record.find("argc=1\n"), std::string::npos) << "no arguments";
    EXPECT_NE(record.find("terrain.ini=" + std::to_string(written.size()) + " bytes\n" + written), std::string::npos)
        << "the engine found the whole file at its start";
    EXPECT_TRUE(run.backend.messages.empty());
}

TEST(Launcher, CancelEscapeAndCloseBoxChangeNothingAndStartNothing)
{
    const std::string original = "# mine\nWIDTH = 1024\n\n  MAP_NAME = x.bmp  \n";
    for (int way = 0; way < testsupport::kCancelWays; ++way) {
        LauncherRun run;
        InstallEngine(run.dir.Path());
        WriteFile("terrain.ini", original);
        run.backend.sheetScript = [&](Driver& d) {
            EXPECT_EQ(PageOf<MapPropPage>(d, 0).m_width, 1024);
            d.TypeOver(1001, "not a number");
            testsupport::CancelBy(d, way);
        };
        EXPECT_FALSE(run.app.InitInstance());
        EXPECT_EQ(run.app.ExitInstance(), ExitDone);
        EXPECT_EQ(ReadFile("terrain.ini"), original);
        EXPECT_EQ(EngineRecord(run.dir.Path(), false), "");
        EXPECT_TRUE(run.backend.messages.empty());
    }
}

TEST(Launcher, UnknownKeysAreReportedOncePerLineBeforeTheSheetOpens)
{
    LauncherRun run;
    WriteFile("terrain.ini", "width = 5\nWIDTH = 900\nNOPE=1\n# COMMENT = 3\nalso unknown = x\n");
    bool sheetSeen = false;
    run.backend.sheetScript = [&](Driver& d) {
        sheetSeen = true;
        EXPECT_EQ(PageOf<MapPropPage>(d, 0).m_width, 900);
    };
    EXPECT_FALSE(run.app.InitInstance());
    EXPECT_TRUE(sheetSeen);
    ASSERT_EQ(run.backend.messages.size(), 3u);
    for (const auto& message : run.backend.messages) {
        EXPECT_EQ(message.text, "unknown parameter type encountered");
        EXPECT_FALSE(message.sheetOpen);
    }
}

TEST(Launcher, ValuesReachTheFileThroughThePageFieldsOnly)
{
#ifdef _WIN32
    GTEST_SKIP() << "the written lines are compared with their LF ends; WindowsSettingsFile checks the CR LF file";
#endif
    LauncherRun run;
    InstallEngine(run.dir.Path());
    // Values no page would accept, on pages the user never opens: passed on as loaded.
    WriteFile("terrain.ini", "FIELD_OF_VIEW = 200\nMOVE_UP = AB\nTEXTURE_EDGE_LEN = 5000\n");
    run.backend.sheetScript = [&](Driver& d) {
        // A field changed after the transfer is what is written, whatever the table holds.
        PageOf<PropPageOpenGL>(d, 2).m_clipNear = 0.25f;
        d.PressOK();
    };
    EXPECT_FALSE(run.app.InitInstance());
    const std::string written = ReadFile("terrain.ini");
    EXPECT_NE(written.find("FIELD_OF_VIEW = 200.000000\n"), std::string::npos);
    EXPECT_NE(written.find("CLIP_PLANE_NEAR = 0.250000\n"), std::string::npos);
    EXPECT_NE(written.find("MOVE_UP = AB\n"), std::string::npos);
    EXPECT_NE(written.find("TEXTURE_EDGE_LEN = 5000.000000\n"), std::string::npos);
    EXPECT_EQ(run.app.m_parameters.valueAt(RowOf("CLIP_PLANE_NEAR")).floatValue, 0.1f)
        << "the table keeps what it loaded";
}

TEST(Launcher, TabsAndHelp)
{
    LauncherRun run;
    run.backend.sheetScript = [&](Driver& d) {
        ASSERT_EQ(d.Sheet().GetPageCount(), 4);
        EXPECT_EQ(d.Sheet().GetCaption(), "Sandrel");
        std::vector<std::string> titles;
        for (int i = 0; i < 4; ++i)
            titles.push_back(d.Sheet().GetPage(i)->GetTitle().str());
        EXPECT_EQ(titles, (std::vector<std::string>{"General", "Texture", "OpenGL", "Controls"}));
        EXPECT_EQ(d.ActiveIndex(), 0);
        EXPECT_EQ(AfxGetApp()->m_pMainWnd, &d.Sheet());
        d.PressF1();
        d.PressHelp();
    };
    EXPECT_FALSE(run.app.InitInstance());
    ASSERT_EQ(run.backend.helpRequests.size(), 2u);
    EXPECT_EQ(run.backend.helpRequests[0].file, "Sandrel.chm");
    EXPECT_EQ(run.backend.helpRequests[0].topic, "welcome.htm");
    EXPECT_TRUE(run.backend.helpShown.empty()) << "without the help file nothing is shown";
    EXPECT_TRUE(run.backend.messages.empty()) << "and nothing is said";
    EXPECT_EQ(run.app.m_pMainWnd, nullptr) << "the sheet is gone";
    EXPECT_EQ(run.app.RegistryKey(), "Local AppWizard-Generated Applications");
    EXPECT_TRUE(run.app.HtmlHelpEnabled());
}

// Every control that shows a setting describes it; with the defaults loaded, the default its
// text names is what the control shows, so a control given another setting's text shows up.
TEST(Launcher, EverySettingsControlDescribesItsSettingAndShowsItsDefault)
{
    LauncherRun run;
    run.backend.sheetScript = [&](Driver& d) {
        int described = 0;
        for (int tab = 0; tab < 4; ++tab) {
            ASSERT_TRUE(d.OpenTab(tab));
            for (const auto& control : d.Sheet().GetPage(tab)->GetPageWindow()->Controls()) {
                const fw::ControlKind kind = control->Kind();
                if (kind != fw::ControlKind::Edit && kind != fw::ControlKind::CheckBox &&
                    kind != fw::ControlKind::Slider)
                    continue;
                SCOPED_TRACE("tab " + std::to_string(tab) + " control " + std::to_string(control->Id()));
                const auto shows = std::find_if(kSettingControls.begin(), kSettingControls.end(), [&](auto& c) {
                    return c.dialogId == static_cast<int>(d.Sheet().GetPage(tab)->TemplateId()) &&
                           c.controlId == control->Id();
                });
                ASSERT_NE(shows, kSettingControls.end());
                ++described;
                // The tooltip table's text, whose default the table's own test holds to the row.
                EXPECT_STREQ(control->Description(), kParameterDescriptions[static_cast<size_t>(shows->setting)]);
                const ParameterInfo& row = kParameters[static_cast<size_t>(shows->setting)];
                if (kind == fw::ControlKind::CheckBox)
                    EXPECT_EQ(control->Check() != 0, row.intDefault != 0);
                else if (kind == fw::ControlKind::Slider)
                    EXPECT_EQ(static_cast<float>(control->Pos()), row.floatDefault);
                else if (row.type == ParameterType::String)
                    EXPECT_EQ(control->Text(), row.textDefault);
                else if (float shown = 0; fw::ParseFloat(control->Text().c_str(), shown))
                    EXPECT_EQ(shown,
                              row.type == ParameterType::Int ? static_cast<float>(row.intDefault) : row.floatDefault);
                else
                    ADD_FAILURE() << "a number's edit shows '" << control->Text() << "'";
            }
        }
        EXPECT_EQ(described, static_cast<int>(kSettingControls.size()));
        d.PressCancel();
    };
    EXPECT_FALSE(run.app.InitInstance());
}

// Every label of an edit or the slider, every check box and push button, every tab and OK,
// Cancel and Help shows an access key in its caption, and no key reaches two controls on a page:
// the tabs and the sheet's buttons count on every page, as they are always there.
TEST(Launcher, EveryControlTheKeyboardReachesHasAnAccessKeyUniqueOnItsPage)
{
    LauncherRun run;
    run.backend.sheetScript = [&](Driver& d) {
        std::map<char, std::string> always;
        const auto take = [](std::map<char, std::string>& keys, char key, const std::string& caption) {
            SCOPED_TRACE(caption);
            ASSERT_NE(key, 0);
            EXPECT_NE(fw::MarkAccessKey(caption, key), caption) << "the caption holds its key";
            const auto [at, added] = keys.emplace(static_cast<char>(std::toupper(key)), caption);
            EXPECT_TRUE(added) << "also " << at->second;
        };
        for (const auto& [id, caption] : {std::pair{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {ID_HELP, "Help"}})
            take(always, fw::FindAccessKey(fw::kSheetButtons, id), caption);
        for (int tab = 0; tab < 4; ++tab) {
            CPropertyPage* page = d.Sheet().GetPage(tab);
            take(always, fw::FindAccessKey(static_cast<int>(page->TemplateId()), fw::kPageTab), page->GetTitle().str());
        }
        for (int tab = 0; tab < 4; ++tab) {
            ASSERT_TRUE(d.OpenTab(tab));
            const fw::PageWindow& window = *d.Sheet().GetPage(tab)->GetPageWindow();
            const std::vector<int> targets = fw::LabelTargets(window.Template());
            std::map<char, std::string> keys = always;
            for (std::size_t i = 0; i < window.Controls().size(); ++i) {
                const fw::Control& control = *window.Controls()[i];
                const fw::ControlKind kind = control.Kind();
                if (kind == fw::ControlKind::CheckBox || kind == fw::ControlKind::PushButton || targets[i] >= 0)
                    take(keys, control.AccessKey(), control.Text());
                if (kind == fw::ControlKind::Edit || kind == fw::ControlKind::Slider) {
                    const auto label = fw::LabelIndexFor(window.Template(), i);
                    ASSERT_TRUE(label) << control.Id();
                    EXPECT_NE(window.Controls()[*label]->AccessKey(), 0) << "the label of " << control.Id();
                }
            }
        }
        d.PressCancel();
    };
    EXPECT_FALSE(run.app.InitInstance());
}

TEST(Launcher, WithoutAnEngineTheFileIsWrittenAndTheUserTold)
{
#ifdef _WIN32
    GTEST_SKIP() << "a shell script as the engine, file modes and strerror's words are Linux's";
#endif
    for (bool present : {false, true}) {
        LauncherRun run;
        if (present) {
            WriteFile("Quellmark.exe", "#!/bin/sh\ntouch ran\n");
            fs::permissions("Quellmark.exe", fs::perms::owner_read | fs::perms::owner_write); // not executable
        }
        run.backend.sheetScript = [&](Driver& d) { d.PressOK(); };
        testing::internal::CaptureStderr();
        EXPECT_FALSE(run.app.InitInstance());
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  std::string("sandrel: couldn't start Quellmark.exe: ") +
                      (present ? "Permission denied" : "No such file or directory") + "\n");
        EXPECT_EQ(run.app.ExitInstance(), ExitStartFailed);
        EXPECT_EQ(ReadFile("terrain.ini"), DefaultFile());
        ASSERT_EQ(run.backend.messages.size(), 1u);
        EXPECT_EQ(run.backend.messages[0].text, "couldn't start engine");
        EXPECT_EQ(run.backend.messages[0].caption, "error");
        EXPECT_EQ(run.backend.messages[0].style, static_cast<UINT>(MB_SYSTEMMODAL));
        EXPECT_FALSE(run.backend.messages[0].sheetOpen) << "shown after the sheet has gone";
        EXPECT_FALSE(fs::exists("ran"));
    }
}

namespace {

// Exit codes of the unprivileged runs: what went wrong, if anything.
enum : int {
    kAsExpected = 0,
    kWrongResult = 1,
    kWrongMessages = 2,
    kFileChanged = 3,
    kEngineStarted = 4,
    kWrongStatus = 5,
    kWrongStderr = 6,
    kEngineNotStarted = 7,
};

// OK into a terrain.ini that can't be written, after an edit: the box says so, with the file and
// the system's reason, while the sheet stays open with the edit. Then the user either cancels
// (status 3: nothing was saved) or, once `fix` has made the file writable, presses OK again and
// the run ends as any OK does.
int RunUnwritable(const fs::path& dir, const std::string& original, const std::function<void()>& fix)
{
    HeadlessBackend backend;
    LauncherApp app;
    bool keptOpen = false;
    std::string keptWidth;
    backend.sheetScript = [&](Driver& d) {
        d.TypeOver(IDC_GENERAL_WIDTH, "1024");
        keptOpen = !d.PressOK();
        keptWidth = d.Text(IDC_GENERAL_WIDTH);
        if (fix) {
            fix();
            d.PressOK();
        }
    };
    testing::internal::CaptureStderr();
    if (app.InitInstance() || !keptOpen || keptWidth != "1024")
        return kWrongResult;
    if (testing::internal::GetCapturedStderr() != "sandrel: couldn't write terrain.ini: Permission denied\n")
        return kWrongStderr;
    const std::string told =
        "couldn't write configuration\n" + (fs::current_path() / "terrain.ini").string() + ": Permission denied";
    if (backend.MessageTexts() != std::vector<std::string>{told} || backend.messages[0].caption != "error" ||
        backend.messages[0].style != MB_SYSTEMMODAL || !backend.messages[0].sheetOpen)
        return kWrongMessages;
    if (app.ExitInstance() != (fix ? ExitDone : ExitSaveFailed))
        return kWrongStatus;
    if (fix) {
        if (ReadFile(dir / "terrain.ini").find("\nWIDTH = 1024\n") == std::string::npos)
            return kFileChanged;
        return EngineRecord(dir).empty() ? kEngineNotStarted : kAsExpected;
    }
    if (ReadFile(dir / "terrain.ini") != original)
        return kFileChanged;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (fs::exists(dir / "quellmark-run.log"))
        return kEngineStarted;
    return kAsExpected;
}

} // namespace

TEST(Launcher, UnwritableTerrainIniKeepsTheSheetOpenUntilSavedOrCancelled)
{
#ifdef _WIN32
    GTEST_SKIP() << "the file is made unwritable by running as another user (fork and setuid), which Windows has not";
#endif
    const std::string original = "WIDTH = 640\n";
    {
        // A write-protected file in a writable directory, made writable while the box is read.
        InTempDir dir;
        InstallEngine(dir.Path());
        WriteFile("terrain.ini", original);
        fs::permissions("terrain.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        testsupport::HandToUnprivileged(dir.Path());
        testsupport::HandToUnprivileged(dir.Path() / "terrain.ini");
        const auto fix = [] { fs::permissions("terrain.ini", fs::perms::owner_write, fs::perm_options::add); };
        EXPECT_EQ(testsupport::RunUnprivileged([&] { return RunUnwritable(dir.Path(), original, fix); }), kAsExpected);
    }
    {
        // A directory the user may not write into, with no terrain.ini yet; the user cancels.
        InTempDir dir;
        InstallEngine(dir.Path());
        fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        EXPECT_EQ(testsupport::RunUnprivileged([&] { return RunUnwritable(dir.Path(), "", nullptr); }), kAsExpected);
    }
}

// A terrain.ini that links to a FIFO or a device opens the sheet at once and stays what it is:
// the device takes the settings and the engine starts, the FIFO nobody reads fails the save.
// A pasted line break never reaches the file.
TEST(Launcher, DevicesFifosAndPastedLineBreaksLeaveTheFileItsShape)
{
    const struct {
        const char* node; // what terrain.ini links to, or nothing
        bool saves;
    } cases[] = {{nullptr, true}, {"fifo", false}, {"null", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.node != nullptr ? c.node : "file");
        LauncherRun run;
        InstallEngine(run.dir.Path());
        if (c.node != nullptr) {
            const int made =
                std::string(c.node) == "fifo" ? mkfifo(c.node, 0600) : mknod(c.node, S_IFCHR | 0666, makedev(1, 3));
            if (made != 0)
                GTEST_SKIP() << "this system makes no FIFOs or device nodes here";
            fs::create_symlink(c.node, "terrain.ini");
        }
        run.backend.sheetScript = [&](Driver& d) {
            d.PasteOver(IDC_GENERAL_MAP_NAME, "pasted.bmp\r\nWIDTH = 5");
            d.PressOK();
        };
        EXPECT_FALSE(run.app.InitInstance());
        if (c.saves)
            EXPECT_TRUE(run.backend.messages.empty());
        else
            EXPECT_EQ(run.backend.MessageTexts(),
                      std::vector<std::string>{"couldn't write configuration\n" +
                                               (fs::current_path() / "terrain.ini").string() + ": " +
                                               std::strerror(ENXIO)});
        EXPECT_EQ(!EngineRecord(run.dir.Path(), c.saves).empty(), c.saves);
        if (c.node != nullptr) {
            EXPECT_TRUE(fs::is_symlink("terrain.ini"));
            EXPECT_EQ(fs::status(c.node).type(), c.saves ? fs::file_type::character : fs::file_type::fifo);
        } else {
            const std::string written = ReadFile("terrain.ini");
            EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 40);
            EXPECT_NE(written.find("\nMAP_NAME = pasted.bmp"), std::string::npos);
            EXPECT_EQ(written.find("WIDTH = 5"), std::string::npos);
        }
    }
}

TEST(Launcher, PageFieldTableFollowsTheSettingsTable)
{
    MapPropPage general;
    PropPageOpenGL opengl;
    CTexturePropPage texture;
    ControlsPage controls;
    const PageFieldTable fields = pageFields(general, opengl, texture, controls);
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(fields[i].type, kParameters[i].type) << kParameters[i].key;
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(fields[i].field, fields[j].field) << "one field per setting";
    }
    EXPECT_EQ(fields[RowOf("MAX_DETAIL")].field, &general.m_maxDetail);
    EXPECT_EQ(fields[RowOf("MIN_DETAIL")].field, &general.m_minDetail);
    EXPECT_EQ(fields[RowOf("STRAFE_RIGHT")].field, &controls.m_keyStrafeRight);
}

TEST(Launcher, NewPagesHoldZerosAndEmptyTexts)
{
    PropPageOpenGL opengl;
    EXPECT_EQ(opengl.m_useVertexArray + opengl.m_useCompiledVertexArray + opengl.m_useMultiDraw + opengl.m_useArbExt,
              0);
    EXPECT_EQ(opengl.m_fieldOfView, 0.0f);
    EXPECT_EQ(opengl.m_clipFar, 0.0f);
    ControlsPage controls;
    EXPECT_TRUE(controls.m_keyCullSwitch.IsEmpty());
    EXPECT_STREQ(controls.GetRuntimeClass()->m_lpszClassName, "ControlsPage");
    MapPropPage general;
    EXPECT_STREQ(general.GetRuntimeClass()->m_lpszClassName, "MapPropPage");
    EXPECT_EQ(general.TemplateId(), 107u);
    CTexturePropPage texture;
    EXPECT_STREQ(texture.GetRuntimeClass()->m_lpszClassName, "CTexturePropPage");
    EXPECT_EQ(texture.TemplateId(), 109u);
    EXPECT_EQ(controls.TemplateId(), 9u);
    EXPECT_EQ(opengl.TemplateId(), 108u);
}

#ifndef _WIN32
// A Windows engine in the folder: the previews, the chooser, the file and the start take its
// names as Wine gives them to it (code page 1252 under C.UTF-8; a Wine prefix not made yet, so
// C: is its drive_c and Z: the root). A stand-in wine on WINE notes how it was started.
TEST(Launcher, AWindowsEngineGetsItsNamesAsWineOpensThem)
{
    LauncherRun run;
    const fs::path here = run.dir.Path();
    testsupport::ScopedEnv locale("LC_ALL", "C.UTF-8");
    testsupport::ScopedEnv prefix("WINEPREFIX", (here / "pfx").c_str());
    testsupport::ScopedEnv wine("WINE", (here / "wine").c_str());
    WriteFile(here / "wine", "#!/bin/sh\necho \"$*\" > started.tmp && mv started.tmp started\n");
    fs::permissions(here / "wine", fs::perms::owner_all);
    WriteFile(here / "Quellmark.exe", testsupport::WindowsProgramBytes(0x8664));
    fs::create_directories(here / "maps");
    testsupport::WriteBitmap("maps/big.bmp", 257, 257, 8);
    fs::create_directories(here / "far" / "café");
    fs::create_directories(here / "far" / "Łódź");
    testsupport::WriteBitmap("far/café/t.bmp", 256, 16, 24);
    testsupport::WriteBitmap("far/Łódź/t.bmp", 256, 16, 24);
    WriteFile("terrain.ini", "MAP_NAME = MAPS\\BIG.BMP\n");
    run.backend.fileAnswers = {std::nullopt, (here / "far" / "Łódź" / "t.bmp").string(),
                               (here / "far" / "café" / "t.bmp").string()};
    std::string farDos = "Z:" + (here / "far" / "café" / "t.bmp").string();
    std::replace(farDos.begin(), farDos.end(), '/', '\\');
    run.backend.sheetScript = [&](Driver& d) {
        EXPECT_EQ(fw::GetBitmapImage(d.Picture(IDC_GENERAL_PREVIEW))->sourceWidth, 257) << "MAPS\\BIG.BMP previews";
        d.Click(IDC_GENERAL_BROWSE);
        ASSERT_EQ(run.backend.fileDialogs.size(), 1u);
        EXPECT_EQ(run.backend.fileDialogs[0].initialDirectory, (here / "maps").string())
            << "the chooser opens where the name leads";
        d.TypeOver(IDC_GENERAL_MAP_NAME, "Łódź.bmp");
        EXPECT_FALSE(d.OpenTab("Texture")) << "a typed name outside code page 1252 keeps the tab";
        d.TypeOver(IDC_GENERAL_MAP_NAME, "MAPS\\BIG.BMP");
        ASSERT_TRUE(d.OpenTab("Texture"));
        d.Click(IDC_TEXTURE_BROWSE);
        EXPECT_EQ(d.Text(IDC_TEXTURE_NAME), "G.bmp") << "a name outside code page 1252 is refused";
        d.Click(IDC_TEXTURE_BROWSE);
        EXPECT_EQ(d.Text(IDC_TEXTURE_NAME), farDos) << "a file outside the folder gets its DOS path";
        d.PressOK();
    };
    EXPECT_FALSE(run.app.InitInstance());
    EXPECT_EQ(run.app.ExitInstance(), ExitDone);
    const std::string outside = "terrain.ini can't hold a name with characters outside code page 1252";
    ASSERT_EQ(run.backend.MessageTexts(), (std::vector<std::string>{outside, outside}));
    const std::string written = ReadFile(here / "terrain.ini");
    std::string farBytes = farDos;
    farBytes.replace(farBytes.find("café"), 5, "caf\xE9");
    EXPECT_NE(written.find("\nMAP_NAME = MAPS\\BIG.BMP\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\nTEXTURE_NAME = " + farBytes + "\n"), std::string::npos) << "in code page 1252";
    for (int i = 0; i < 500 && !fs::exists(here / "started"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadFile(here / "started"), (here / "Quellmark.exe").string() + "\n") << "started through WINE";
    fw::UseFileNamesOf(nullptr);
}
#endif
