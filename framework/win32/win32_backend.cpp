// The native backend's layer side: mirrors the control model on the real controls and feeds
// the user's input back through the sheet's protocol and the controls' User* operations.
#include "framework/win32/win32_backend.h"

#include <array>
#include <span>
#include <string>

#include "framework/core/access_keys.h"
#include "framework/core/bitmap.h"
#include "framework/core/control_labels.h"
#include "framework/core/page_window.h"
#include "framework/core/winapp.h"
#include "framework/win32/native_system.h"

namespace fw::win32 {

// One model control and its native twin. The model is the truth: every change the program
// makes is copied to the native control, and the user's changes, which the native control has
// already made, are taken into the model.
class ControlMirror : public ControlView {
public:
    ControlMirror(Control& control, Handle native) : m_control(control), m_native(native)
    {
        m_control.SetView(this);
        switch (m_control.Kind()) {
        case ControlKind::Edit:
            TextChanged(m_control);
            LimitChanged(m_control);
            break;
        case ControlKind::CheckBox:
            TextChanged(m_control);
            CheckChanged(m_control);
            break;
        case ControlKind::PushButton: TextChanged(m_control); break;
        case ControlKind::Slider: SliderUpdated(m_control, false); break;
        case ControlKind::Picture: BitmapChanged(m_control); break;
        default: break;
        }
    }

    ~ControlMirror() override
    {
        if (m_control.View() == this)
            m_control.SetView(nullptr);
        if (m_bitmap != nullptr) {
            SetPicture(m_native, nullptr);
            DeleteBitmap(m_bitmap);
        }
    }

    ControlMirror(const ControlMirror&) = delete;
    ControlMirror& operator=(const ControlMirror&) = delete;

    Control& Model() const { return m_control; }

    void TextChanged(Control&) override
    {
        // An edit shows its text; a caption shows its access key's marker too.
        const std::string shown = m_control.Kind() == ControlKind::Edit ? m_control.Text() : m_control.MarkedText();
        if (GetText(m_native) != shown)
            SetText(m_native, shown);
    }

    void SelectionChanged(Control&) override
    {
        if (m_control.Kind() == ControlKind::Edit)
            SetEditSelection(m_native, m_control.SelectionStart(), m_control.SelectionEnd());
    }

    void CheckChanged(Control&) override
    {
        if (GetCheck(m_native) != m_control.Check())
            SetCheck(m_native, m_control.Check());
    }

    void SliderUpdated(Control&, bool redraw) override
    {
        SetSliderRange(m_native, m_control.RangeMin(), m_control.RangeMax(), false);
        // The native slider repaints itself when told to redraw, and its painting sends the
        // NM_CUSTOMDRAW the page handles: the platform's asynchronous drawing, for real.
        if (GetSliderPos(m_native) != m_control.Pos())
            SetSliderPos(m_native, m_control.Pos(), redraw);
    }

    void BitmapChanged(Control&) override
    {
        const Image* image = GetBitmapImage(m_control.Bitmap());
        Handle shown = image != nullptr ? MakeBitmap(image->pixels.data(), image->width, image->height) : nullptr;
        SetPicture(m_native, shown);
        // The control never shows a bitmap that has been deleted: the old one goes once the new
        // one is in place.
        if (m_bitmap != nullptr)
            DeleteBitmap(m_bitmap);
        m_bitmap = shown;
    }

    void FocusRequested(Control&) override { Focus(m_native); }

    void AccessibleDescriptionChanged(Control&) override
    {
        SetAccessibleDescription(m_native, m_control.AccessibleDescription());
    }

    void LimitChanged(Control&) override
    {
        if (m_control.Kind() == ControlKind::Edit)
            SetEditLimit(m_native, m_control.Limit());
    }

private:
    Control& m_control;
    Handle m_native;
    Handle m_bitmap = nullptr;
};

namespace {

std::vector<PageInfo> PagesOf(const CPropertySheet& sheet)
{
    std::vector<PageInfo> pages;
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        const CPropertyPage* page = sheet.GetPage(i);
        const auto id = static_cast<int>(page->TemplateId());
        pages.push_back({id, MarkAccessKey(page->GetTitle().str(), FindAccessKey(id, kPageTab))});
    }
    return pages;
}

std::array<std::string, 3> ButtonCaptions()
{
    return {MarkAccessKey("OK", FindAccessKey(kSheetButtons, IDOK)),
            MarkAccessKey("Cancel", FindAccessKey(kSheetButtons, IDCANCEL)),
            MarkAccessKey("Help", FindAccessKey(kSheetButtons, ID_HELP))};
}

} // namespace

SheetWindow::SheetWindow(CPropertySheet& sheet, Handle instance)
    : m_sheet(sheet), m_native(*this, instance, sheet.GetCaption().str(), PagesOf(sheet), ButtonCaptions())
{
    // The model sizes pictures' contents from dialog units: they are the native font's.
    if (m_native.Created())
        SetDialogBaseUnits({m_native.Units().x, m_native.Units().y});
    m_sheet.SetView(this);
}

SheetWindow::~SheetWindow()
{
    m_sheet.SetView(nullptr);
    m_mirrors.clear(); // while the native controls still exist
}

int SheetWindow::Run(const std::function<void(SheetWindow&)>& script)
{
    if (!m_native.Created() || !m_sheet.Open())
        return -1;
    if (script) {
        m_native.RunModal([this, &script, first = true]() mutable {
            if (first) {
                first = false;
                Pump();
                script(*this);
                if (!m_sheet.Ended())
                    m_sheet.PressCancel();
            }
            return m_sheet.Ended();
        });
    } else {
        m_native.RunModal([this] { return m_sheet.Ended(); });
    }
    return m_sheet.Result();
}

Handle SheetWindow::ControlHandle(int id) const { return m_native.Control(m_native.ShownPage(), id); }

Control* SheetWindow::ModelControl(int page, int id) const
{
    CPropertyPage* p = m_sheet.GetPage(page);
    PageWindow* window = p != nullptr ? p->GetPageWindow() : nullptr;
    return window != nullptr ? window->Find(id) : nullptr;
}

void SheetWindow::PageCreated(int index)
{
    PageWindow* window = m_sheet.GetPage(index)->GetPageWindow();
    const auto controls = window->Controls(); // in template order
    // The dialog's windows in reading order; each run of check boxes a group of its own, so that
    // the arrow keys go down it as Tab does, and the control after it starts the next.
    PageShape shape;
    const std::span<const std::size_t> order = window->ReadingOrder();
    shape.order.assign(order.begin(), order.end());
    shape.startsGroup.assign(controls.size(), false);
    for (std::size_t k = 1; k < order.size(); ++k) {
        const bool box = controls[order[k]]->Kind() == ControlKind::CheckBox;
        shape.startsGroup[order[k]] = box != (controls[order[k - 1]]->Kind() == ControlKind::CheckBox);
    }
    // Each control shows from the start what its mirror would otherwise set at once: a label
    // without identifier never changes and shows the key of its control.
    for (const auto& control : controls) {
        const ControlKind kind = control->Kind();
        const bool label = control->Id() == IDC_STATIC && control->AccessKey() != 0;
        if (kind == ControlKind::Edit)
            shape.texts.emplace_back(control->Text());
        else if (label || kind == ControlKind::CheckBox || kind == ControlKind::PushButton)
            shape.texts.emplace_back(control->MarkedText());
        else
            shape.texts.emplace_back(std::nullopt);
    }
    if (!m_native.CreatePage(index, shape))
        return;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        Control& control = *controls[i];
        if (control.Id() == IDC_STATIC)
            continue;
        Handle native = m_native.Control(index, control.Id());
        if (native == nullptr)
            continue;
        m_mirrors.push_back(std::make_unique<ControlMirror>(control, native));
        m_native.SetToolTip(index, control.Id(), control.Description());
        m_native.SetAccessibleTexts(index, control.Id(), control.AccessibleName(), control.AccessibleDescription(),
                                    control.AccessKey());
    }
}

void SheetWindow::ActivePageChanged(int index) { m_native.ShowPage(index); }

void SheetWindow::TabRequested(int index) { m_sheet.SetActivePage(index); }
void SheetWindow::OkPressed() { m_sheet.PressOK(); }
void SheetWindow::CancelPressed() { m_sheet.PressCancel(); }
void SheetWindow::HelpPressed() { m_sheet.PressHelp(); }

void SheetWindow::EditChanged(int page, int id, const std::string& text)
{
    if (Control* control = ModelControl(page, id))
        control->UserReplaceText(text);
}

void SheetWindow::ButtonClicked(int page, int id, int check)
{
    Control* control = ModelControl(page, id);
    if (control == nullptr)
        return;
    if (check < 0) {
        control->UserClick();
        return;
    }
    // The native box has toggled itself already: the model takes its state, then the page
    // hears of the click as it would from the model's own toggle.
    control->SetCheck(check);
    control->Page().Notify(*control, WM_COMMAND, BN_CLICKED);
}

void SheetWindow::SliderMoved(int page, int id, int pos)
{
    if (Control* control = ModelControl(page, id))
        control->UserSetPos(pos);
}

std::intptr_t SheetWindow::SliderDrawing(int page, int id)
{
    Control* control = ModelControl(page, id);
    if (control == nullptr)
        return CDRF_DODEFAULT;
    NMCUSTOMDRAW draw;
    draw.hdr.hwndFrom = control;
    draw.hdr.idFrom = static_cast<std::uintptr_t>(id);
    draw.hdr.code = NM_CUSTOMDRAW;
    draw.dwDrawStage = CDDS_PREPAINT;
    LRESULT result = CDRF_DODEFAULT;
    control->Page().Notify(*control, WM_NOTIFY, NM_CUSTOMDRAW, &draw.hdr, &result);
    return result;
}

void SheetWindow::FocusEntered(int page, int id)
{
    if (Control* control = ModelControl(page, id))
        control->Page().SetFocusId(id);
}

Win32Backend::Win32Backend(Handle instance)
    : m_instance(instance), m_previousBackend(SetBackend(this)),
      m_previousSink(SetMessageBoxSink({&Win32Backend::ShowMessage, this})), m_previousNativeDrawing(NativeDrawing())
{
    SetNativeDrawing(true);
    InitControls();
}

Win32Backend::~Win32Backend()
{
    LeaveCom();
    SetNativeDrawing(m_previousNativeDrawing);
    SetMessageBoxSink(m_previousSink);
    SetBackend(m_previousBackend);
}

int Win32Backend::ShowMessage(void* context, const char* text, const char* caption, UINT style)
{
    // Modal to the sheet while one runs; the errors after it has closed have no owner.
    auto* self = static_cast<Win32Backend*>(context);
    Handle owner = self->m_running != nullptr ? self->m_running->Native().Window() : nullptr;
    return ShowMessageBox(owner, text, caption, style);
}

int Win32Backend::RunSheet(CPropertySheet& sheet)
{
    SheetWindow window(sheet, m_instance);
    SheetWindow* previous = m_running;
    m_running = &window;
    const int result = window.Run(sheetScript);
    m_running = previous;
    return result;
}

FileDialogRequest RequestFor(const CFileDialog& dialog, Handle owner)
{
    FileDialogRequest request;
    request.open = dialog.m_bOpenFileDialog != FALSE;
    request.filter = NulSeparatedFilter(dialog.m_filter.str());
    request.flags = dialog.m_flags;
    request.hasDefaultExtension = dialog.m_hasDefaultExtension;
    request.defaultExtension = dialog.m_defaultExtension.str();
    request.hasInitialFileName = dialog.m_hasInitialFileName;
    request.initialFileName = dialog.m_initialFileName.str();
    if (dialog.m_ofn.lpstrInitialDir != nullptr)
        request.initialDirectory = dialog.m_ofn.lpstrInitialDir;
    request.owner = owner;
    return request;
}

int Win32Backend::RunFileDialog(CFileDialog& dialog)
{
    std::string path;
    switch (
        win32::RunFileDialog(RequestFor(dialog, m_running != nullptr ? m_running->Native().Window() : nullptr), path)) {
    case FileChoice::Chosen: dialog.SetChosenPath(path.c_str()); return IDOK;
    case FileChoice::Refused: dialog.RefuseChosenName(win32::AnsiCodePage()); return IDOK;
    case FileChoice::Unavailable: dialog.RefuseChosenPath(path.c_str()); return IDOK;
    case FileChoice::Cancelled: break;
    }
    return IDCANCEL;
}

bool Win32Backend::ShowHelp(const char* file, const char* topic)
{
    // The viewer takes "file::/topic", as the program asked for it, the file by its full path:
    // the viewer would look for a bare name elsewhere than in the current directory.
    std::string request = FullPath(file != nullptr ? file : "");
    if (topic != nullptr && *topic != '\0')
        request += std::string("::/") + topic;
    JoinCom();
    return HtmlHelp(nullptr, request.c_str(), HH_DISPLAY_TOPIC, 0) != nullptr;
}

int RunProgram(Handle instance)
{
    LimitLibrarySearch();
    Win32Backend backend(instance);
    if (CWinApp* app = AfxGetApp())
        app->m_hInstance = instance;
    return RunApplication();
}

} // namespace fw::win32
