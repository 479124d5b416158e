// The native Windows backend of the framework layer: the sheet on a real window with the real
// page dialogs and controls, MessageBoxA, GetOpenFileNameW and the HTML Help viewer.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "framework/core/backend.h"
#include "framework/core/control.h"
#include "framework/core/filedlg.h"
#include "framework/core/msgbox.h"
#include "framework/core/propsheet.h"
#include "framework/win32/native.h"

namespace fw::win32 {

class ControlMirror;

// A running sheet: the native window, mirroring the layer's pages and controls and handing the
// user's input to the sheet's protocol and to the controls' User* operations.
class SheetWindow : public SheetView, public SheetInput {
public:
    SheetWindow(CPropertySheet& sheet, Handle instance);
    ~SheetWindow() override;
    SheetWindow(const SheetWindow&) = delete;
    SheetWindow& operator=(const SheetWindow&) = delete;

    CPropertySheet& Sheet() const { return m_sheet; }
    NativeSheet& Native() { return m_native; }
    // The native control `id` of the page shown (nullptr when none).
    Handle ControlHandle(int id) const;
    // Handles every waiting message, paints and the drawing notifications they cause included.
    void Pump() { m_native.PumpPending(); }

    // Opens the sheet and runs it modally: IDOK, IDCANCEL, or -1 when it could not be shown.
    // A script, when given, plays the user first; if the sheet is still open afterwards, it is
    // cancelled.
    int Run(const std::function<void(SheetWindow&)>& script);

    void PageCreated(int index) override;
    void ActivePageChanged(int index) override;

    void TabRequested(int index) override;
    void OkPressed() override;
    void CancelPressed() override;
    void HelpPressed() override;
    void EditChanged(int page, int id, const std::string& text) override;
    void ButtonClicked(int page, int id, int check) override;
    void SliderMoved(int page, int id, int pos) override;
    std::intptr_t SliderDrawing(int page, int id) override;
    void FocusEntered(int page, int id) override;

private:
    Control* ModelControl(int page, int id) const;

    CPropertySheet& m_sheet;
    NativeSheet m_native;
    std::vector<std::unique_ptr<ControlMirror>> m_mirrors;
};

// Installing it makes it the backend and the message-box sink and switches the model's own
// slider drawing off (the native sliders draw themselves); destroying it undoes all three.
class Win32Backend : public Backend {
public:
    explicit Win32Backend(Handle instance = ProgramInstance());
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    int RunSheet(CPropertySheet& sheet) override;
    int RunFileDialog(CFileDialog& dialog) override;
    bool ShowHelp(const char* file, const char* topic) override;

    // For tests: plays the user on each sheet run, once its window is on screen.
    std::function<void(SheetWindow&)> sheetScript;
    // The sheet running now, or nullptr.
    SheetWindow* Running() const { return m_running; }

private:
    static int ShowMessage(void* context, const char* text, const char* caption, UINT style);

    Handle m_instance;
    Backend* m_previousBackend;
    MessageBoxSink m_previousSink;
    bool m_previousNativeDrawing;
    SheetWindow* m_running = nullptr;
};

// The file dialog's request as the platform takes it.
FileDialogRequest RequestFor(const CFileDialog& dialog, Handle owner);

} // namespace fw::win32
