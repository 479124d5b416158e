// The native half of the Windows backend, in plain types: the sheet's window with its tab
// control and buttons, the page dialogs made from the program's dialog resources, and the real
// controls on them. windows.h and the layer's headers declare the same names differently, so
// the two halves meet only here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fw::win32 {

// A window, bitmap or module handle, opaque on this side.
using Handle = void*;

// What the user did on the native windows, reported to the layer above. Every call arrives on
// the user-interface thread, outside any call the layer made into the native side, except
// where noted.
class SheetInput {
public:
    virtual ~SheetInput() = default;
    virtual void TabRequested(int index) = 0;
    virtual void OkPressed() = 0;
    virtual void CancelPressed() = 0;
    virtual void HelpPressed() = 0;
    // The user changed an edit's text (typing, deleting, pasting); changes the layer made itself
    // are not reported.
    virtual void EditChanged(int page, int id, const std::string& text) = 0;
    // A push button was clicked, or an auto check box toggled itself (check: its new state;
    // -1 for a push button).
    virtual void ButtonClicked(int page, int id, int check) = 0;
    // The user moved a slider to pos.
    virtual void SliderMoved(int page, int id, int pos) = 0;
    // A slider is drawing itself (NM_CUSTOMDRAW, pre-paint stage); returns the custom-draw
    // result. Arrives while the slider paints.
    virtual std::intptr_t SliderDrawing(int page, int id) = 0;
    virtual void FocusEntered(int page, int id) = 0;
};

struct PageInfo {
    int templateId = 0; // the dialog resource the page is made from
    std::string title;  // with the access key's marker ('&'), if it has one
};

// How a page's controls are made, each given by its entry in the page's dialog resource (its
// template index). Empty parts leave the resource as it stands.
struct PageShape {
    // The order of the page's windows, which Tab walks, a label's access key moves on from, and
    // screen readers read.
    std::vector<std::size_t> order;
    // The controls that begin a group, as a run of check boxes does: the arrow keys stay within
    // a group.
    std::vector<bool> startsGroup;
    // What each control shows from the start, in the program's code page (nullopt: the
    // resource's caption): a label's or a button's caption with its access key's marker, an
    // edit's text.
    std::vector<std::optional<std::string>> texts;
};

// Dialog base units of the dialogs' font: what one dialog unit is in pixels (x / 4, y / 8).
struct BaseUnits {
    int x = 0;
    int y = 0;
};

// The property sheet's top-level window. Creating it makes the window, hidden; pages are made
// on request, as the layer opens them.
class NativeSheet {
public:
    // The buttons' captions are OK's, Cancel's and Help's, with their access keys' markers.
    NativeSheet(SheetInput& input, Handle instance, const std::string& caption, std::vector<PageInfo> pages,
                const std::array<std::string, 3>& buttons);
    ~NativeSheet();
    NativeSheet(const NativeSheet&) = delete;
    NativeSheet& operator=(const NativeSheet&) = delete;

    bool Created() const { return m_window != nullptr; }
    Handle Window() const { return m_window; }
    BaseUnits Units() const { return m_units; }

    // Makes page `index` from its dialog resource in `shape`, as a hidden child of the sheet, its
    // controls already in their order, with their groups and texts. False when the resource
    // cannot be found or read.
    bool CreatePage(int index, const PageShape& shape = {});
    Handle Page(int index) const;
    // The control a page's dialog made from entry `templateIndex` of its resource, texts without
    // an identifier included (nullptr when there is none).
    Handle ControlAt(int page, std::size_t templateIndex) const;
    // Gives a control of a created page a tooltip, which is also what screen readers announce as
    // its description. It is made when the pointer first moves over the sheet, which no tooltip
    // can show without, or when PumpPending returns; the first screen makes none.
    void SetToolTip(int page, int id, const std::string& text);
    // The sheet's tooltip window (nullptr until a control has a tooltip).
    Handle ToolTips() const { return m_toolTips; }
    // Gives a control of a created page what screen readers hear of it: its name (MSAA's name of
    // its client object), its description (UTF-8) and its access key (0 for none). A push button
    // that the program's string table names under the button's own identifier takes that name
    // instead: its caption ("...") does not say what it does.
    void SetAccessibleTexts(int page, int id, const std::string& name, const std::string& description, char key);
    // Shows page `index`, selects its tab and hides the others.
    void ShowPage(int index);
    int ShownPage() const { return m_shown; }

    // Shows the sheet and runs its modal loop until ended() says so.
    template <typename Ended> void RunModal(Ended ended)
    {
        Show();
        while (!ended() && PumpOne()) {
        }
        Hide();
    }

    // Handles every message waiting, paints included, and returns when none is left: what has
    // happened on screen by then is what a user would see once the input was handled.
    void PumpPending();

    // Controls of a page, by dialog identifier (nullptr when there is no such control).
    Handle Control(int page, int id) const;

    // Called by the native side's window procedures.
    void OnSheetCommand(int id);
    void OnTabChanged();
    void OnPageCommand(int page, int id, int code, Handle control);
    void OnPageScroll(int page, Handle control);
    bool OnPageNotify(int page, const void* header, std::intptr_t& result);
    void OnDeferredTab(int index);
    // Makes the tooltips given so far (at the pointer's first move, and PumpPending's at its end).
    void MakeToolTips();

private:
    void Show();
    void Hide();
    // Runs one message; false when the queue was told to quit.
    bool PumpOne();
    void Dispatch(const void* msg);
    bool HandleSheetKey(const void* msg);
    void Layout();

    struct PendingToolTip {
        int page;
        int id;
        std::string text;
    };

    SheetInput& m_input;
    Handle m_instance;
    std::vector<PageInfo> m_pages;
    std::vector<Handle> m_pageWindows;
    std::vector<std::vector<Handle>> m_pageControls; // in template order
    std::vector<char> m_tabKeys;                     // each tab's access key, or 0
    Handle m_window = nullptr;
    Handle m_tabs = nullptr;
    Handle m_buttons[3] = {nullptr, nullptr, nullptr};
    Handle m_toolTips = nullptr;
    std::vector<PendingToolTip> m_pendingToolTips;
    Handle m_icons[2] = {nullptr, nullptr}; // big, small
    BaseUnits m_units;
    int m_shown = -1;
    bool m_quit = false;
};

// A new description (UTF-8) of a control for screen readers, announced to those that listen
// (EVENT_OBJECT_DESCRIPTIONCHANGE).
void SetAccessibleDescription(Handle control, const std::string& description);

// Operations on native controls. Text set here raises no EN_CHANGE report to SheetInput.
std::string GetText(Handle control);
void SetText(Handle control, const std::string& text);
void SetEditLimit(Handle control, int characters);
void SetEditSelection(Handle control, std::size_t start, std::size_t end);
int GetCheck(Handle control);
void SetCheck(Handle control, int check);
int GetSliderPos(Handle control);
void SetSliderRange(Handle control, int minimum, int maximum, bool redraw);
void SetSliderPos(Handle control, int pos, bool redraw);
void Focus(Handle control);
// The control's style bits.
std::uint32_t Style(Handle control);

// A device-independent bitmap of the platform (24 bits, CreateDIBSection) holding the pixels
// (0x00RRGGBB, rows top-down); nullptr for an empty picture.
Handle MakeBitmap(const std::uint32_t* pixels, int width, int height);
void DeleteBitmap(Handle bitmap);
// STM_SETIMAGE with IMAGE_BITMAP; returns what the control showed before.
Handle SetPicture(Handle control, Handle bitmap);
// STM_GETIMAGE, and the size of a bitmap handle (0 x 0 for null).
Handle GetPicture(Handle control);
void BitmapSize(Handle bitmap, int& width, int& height);

// MessageBoxA; the owner is disabled while the box is up.
int ShowMessageBox(Handle owner, const char* text, const char* caption, unsigned style);

// GetOpenFileNameW (or GetSaveFileNameW) with a filter in NUL-separated form; the request's
// texts are in the ANSI code page. comdlg32.dll is loaded on the first call.
struct FileDialogRequest {
    bool open = true;
    std::string filter; // "Description\0pattern\0...\0\0", as the platform takes it
    std::uint32_t flags = 0;
    bool hasDefaultExtension = false;
    std::string defaultExtension;
    bool hasInitialFileName = false;
    std::string initialFileName;
    std::string initialDirectory; // empty: the platform's choice
    Handle owner = nullptr;
};
enum class FileChoice {
    Cancelled,
    // `path` is the chosen file's name exactly, in the ANSI code page: the long form, or where
    // that holds a character the code page lacks, the short form.
    Chosen,
    // The chosen file has no name the ANSI code page (AnsiCodePage) can spell; `path` is empty.
    Refused,
    // The platform's dialog could not be loaded from the system folder; `path` says why.
    Unavailable,
};
unsigned AnsiCodePage();
FileChoice RunFileDialog(const FileDialogRequest& request, std::string& path);

// The path in the ANSI code page, only when every character converts exactly (no best-fit
// letter, no default character); false otherwise.
bool ExactAnsiPath(const std::wstring& path, std::string& ansi);

// The framework's "Description|pattern|...||" filter in the platform's NUL-separated form.
std::string NulSeparatedFilter(const std::string& barSeparated);

// Text in the ANSI code page, as the layer holds it, in the platform's UTF-16.
std::wstring Wide(const std::string& ansi);

// The program's module handle.
Handle ProgramInstance();
// Registers the common controls this backend uses (tabs, trackbars).
void InitControls();
// Joins the thread to a single-threaded COM apartment, which screen readers' requests for a
// control's accessible object, the file dialog and the help viewer need: called by each of
// them, it joins on the first call only. LeaveCom undoes a join that happened, once.
void JoinCom();
void LeaveCom();

// The program on Windows: installs the backend and runs the application object's one pass
// (defined on the layer's side).
int RunProgram(Handle instance);

} // namespace fw::win32
