// The in-memory backend: runs the framework without a display and plays the user in tests.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/backend.h"
#include "framework/core/bitmap.h"
#include "framework/core/filedlg.h"
#include "framework/core/msgbox.h"
#include "framework/core/propsheet.h"

namespace fw::headless {

struct MessageRecord {
    std::string text;
    std::string caption;
    UINT style = 0;
    bool sheetOpen = false; // whether a sheet was running when it was shown
};

struct FileDialogRecord {
    BOOL open = FALSE;
    std::optional<std::string> defaultExtension;
    std::optional<std::string> initialFileName;
    std::optional<std::string> initialDirectory;
    DWORD flags = 0;
    std::string filter;
    CWnd* parent = nullptr;
    DWORD structSize = 0;
};

struct HelpRecord {
    std::string file;
    std::string topic;
};

class Driver;

// Install it for the length of a test: it becomes the backend and the message-box sink, and
// puts the previous ones back when destroyed.
class HeadlessBackend : public Backend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;
    HeadlessBackend(const HeadlessBackend&) = delete;
    HeadlessBackend& operator=(const HeadlessBackend&) = delete;

    // What the user does while the sheet runs. If it returns with the sheet still open, the
    // user closes it with Cancel. Without a script the sheet is cancelled at once.
    std::function<void(Driver&)> sheetScript;
    // Called when a message box is shown (after it is recorded), before it is answered.
    std::function<void(const MessageRecord&)> onMessage;

    std::vector<MessageRecord> messages;
    std::vector<std::string> MessageTexts() const;

    // File dialogs are answered from this queue: a path chooses that file, nullopt cancels.
    // An empty queue cancels.
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<FileDialogRecord> fileDialogs;

    // The help viewer: it shows a topic when the file exists in the current directory or as
    // given (the real viewer's rule); every request is recorded either way.
    bool helpViewerAvailable = true;
    std::vector<HelpRecord> helpRequests;
    std::vector<HelpRecord> helpShown;

    int sheetsRun = 0;

    int RunSheet(CPropertySheet& sheet) override;
    int RunFileDialog(CFileDialog& dialog) override;
    bool ShowHelp(const char* file, const char* topic) override;

private:
    static int ShowMessage(void* context, const char* text, const char* caption, UINT style);

    Backend* m_previousBackend;
    MessageBoxSink m_previousSink;
    CPropertySheet* m_runningSheet = nullptr;
};

// Plays the user on a running sheet. Every action is followed by the drawing the platform does
// once the input has been handled.
class Driver {
public:
    Driver(HeadlessBackend& backend, CPropertySheet& sheet) : m_backend(backend), m_sheet(sheet) {}

    CPropertySheet& Sheet() const { return m_sheet; }
    HeadlessBackend& Backend() const { return m_backend; }
    bool Ended() const { return m_sheet.Ended(); }
    int ActiveIndex() const { return m_sheet.GetActiveIndex(); }
    CString ActiveTitle() const;

    // Clicking a tab; returns whether that tab is now open.
    bool OpenTab(int index);
    bool OpenTab(std::string_view title);
    // Ctrl+Tab and Ctrl+Shift+Tab (also Ctrl+PgDn / Ctrl+PgUp).
    bool NextTab();
    bool PreviousTab();

    // The active page's controls.
    fw::Control& ControlById(int id) const;
    std::string Text(int id) const;
    int Check(int id) const;
    int SliderPos(int id) const;
    HBITMAP Picture(int id) const;
    int FocusId() const;

    // Puts the caret at the end of an edit and types the text key by key.
    int Type(int id, std::string_view text);
    // Types key by key at the edit's caret, replacing its selection.
    int TypeAtCaret(int id, std::string_view text);
    // Selects all of the edit's text and types over it.
    int TypeOver(int id, std::string_view text);
    // Replaces the selection with the text in one step (cut to the typing limit).
    void Paste(int id, std::string_view text);
    // Selects all of the edit's text and pastes over it.
    void PasteOver(int id, std::string_view text);
    void Select(int id, size_t start, size_t end);
    void Backspace(int id);
    // Clears the edit as the user would: select all, delete.
    void Clear(int id);
    void Click(int id);
    void DragSlider(int id, int position);

    // The sheet's buttons and keys. PressOK returns whether the sheet ended.
    bool PressOK();
    bool PressEnter() { return PressOK(); }
    void PressCancel();
    void PressEscape() { PressCancel(); }
    void PressCloseBox() { PressCancel(); }
    void PressHelp();
    void PressF1() { PressHelp(); }

private:
    void Settle();
    fw::Control& EditForTyping(int id) const;

    HeadlessBackend& m_backend;
    CPropertySheet& m_sheet;
};

} // namespace fw::headless
