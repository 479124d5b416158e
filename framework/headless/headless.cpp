// The in-memory backend and its user driver.
#include "framework/headless/headless.h"

#include <sys/stat.h>

#include <stdexcept>

#include "framework/core/control.h"

namespace fw::headless {

HeadlessBackend::HeadlessBackend()
    : m_previousBackend(SetBackend(this)), m_previousSink(SetMessageBoxSink({&HeadlessBackend::ShowMessage, this}))
{
}

HeadlessBackend::~HeadlessBackend()
{
    SetMessageBoxSink(m_previousSink);
    SetBackend(m_previousBackend);
}

int HeadlessBackend::ShowMessage(void* context, const char* text, const char* caption, UINT style)
{
    auto* self = static_cast<HeadlessBackend*>(context);
    self->messages.push_back({text, caption, style, self->m_runningSheet != nullptr});
    if (self->onMessage)
        self->onMessage(self->messages.back());
    return IDOK;
}

std::vector<std::string> HeadlessBackend::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const MessageRecord& m : messages)
        texts.push_back(m.text);
    return texts;
}

int HeadlessBackend::RunSheet(CPropertySheet& sheet)
{
    ++sheetsRun;
    if (!sheet.Open())
        return -1;
    m_runningSheet = &sheet;
    RunPendingDrawing();
    Driver driver(*this, sheet);
    if (sheetScript)
        sheetScript(driver);
    if (!sheet.Ended())
        sheet.PressCancel();
    m_runningSheet = nullptr;
    return sheet.Result();
}

int HeadlessBackend::RunFileDialog(CFileDialog& dialog)
{
    FileDialogRecord record;
    record.open = dialog.m_bOpenFileDialog;
    if (dialog.m_hasDefaultExtension)
        record.defaultExtension = dialog.m_defaultExtension.str();
    if (dialog.m_hasInitialFileName)
        record.initialFileName = dialog.m_initialFileName.str();
    if (dialog.m_ofn.lpstrInitialDir != nullptr)
        record.initialDirectory = dialog.m_ofn.lpstrInitialDir;
    record.flags = dialog.m_flags;
    record.filter = dialog.m_filter.str();
    record.parent = dialog.m_parent;
    record.structSize = dialog.m_structSize;
    fileDialogs.push_back(record);

    if (fileAnswers.empty())
        return IDCANCEL;
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    if (!answer)
        return IDCANCEL;
    struct stat st {};
    // A dialog with "the file must exist" does not end with OK on a name that does not exist.
    if ((dialog.m_flags & OFN_FILEMUSTEXIST) != 0 && stat(answer->c_str(), &st) != 0)
        return IDCANCEL;
    dialog.SetChosenPath(answer->c_str());
    return IDOK;
}

bool HeadlessBackend::ShowHelp(const char* file, const char* topic)
{
    helpRequests.push_back({file, topic});
    struct stat st {};
    if (!helpViewerAvailable || stat(file, &st) != 0)
        return false;
    helpShown.push_back({file, topic});
    return true;
}

CString Driver::ActiveTitle() const
{
    CPropertyPage* page = m_sheet.GetActivePage();
    return page != nullptr ? page->GetTitle() : CString();
}

void Driver::Settle() { RunPendingDrawing(); }

bool Driver::OpenTab(int index)
{
    m_sheet.SetActivePage(index);
    Settle();
    return m_sheet.GetActiveIndex() == index;
}

bool Driver::OpenTab(std::string_view title)
{
    for (int i = 0; i < m_sheet.GetPageCount(); ++i)
        if (m_sheet.GetPage(i)->GetTitle().str() == title)
            return OpenTab(i);
    throw std::invalid_argument("no tab titled " + std::string(title));
}

bool Driver::NextTab()
{
    const int count = m_sheet.GetPageCount();
    return OpenTab((m_sheet.GetActiveIndex() + 1) % count);
}

bool Driver::PreviousTab()
{
    const int count = m_sheet.GetPageCount();
    return OpenTab((m_sheet.GetActiveIndex() + count - 1) % count);
}

fw::Control& Driver::ControlById(int id) const
{
    CPropertyPage* page = m_sheet.GetActivePage();
    fw::Control* control =
        page != nullptr && page->GetPageWindow() != nullptr ? page->GetPageWindow()->Find(id) : nullptr;
    if (control == nullptr)
        throw std::invalid_argument("no control " + std::to_string(id) + " on the open page");
    return *control;
}

std::string Driver::Text(int id) const { return ControlById(id).Text(); }
int Driver::Check(int id) const { return ControlById(id).Check(); }
int Driver::SliderPos(int id) const { return ControlById(id).Pos(); }
HBITMAP Driver::Picture(int id) const { return ControlById(id).Bitmap(); }

int Driver::FocusId() const
{
    CPropertyPage* page = m_sheet.GetActivePage();
    return page != nullptr && page->GetPageWindow() != nullptr ? page->GetPageWindow()->FocusId() : IDC_STATIC;
}

fw::Control& Driver::EditForTyping(int id) const
{
    fw::Control& control = ControlById(id);
    if (control.Kind() != ControlKind::Edit)
        throw std::invalid_argument("control " + std::to_string(id) + " is not an edit");
    control.RequestFocus();
    return control;
}

int Driver::Type(int id, std::string_view text)
{
    fw::Control& control = EditForTyping(id);
    control.SetSelection(control.Text().size(), control.Text().size());
    return TypeAtCaret(id, text);
}

int Driver::TypeOver(int id, std::string_view text)
{
    EditForTyping(id).SelectAll();
    return TypeAtCaret(id, text);
}

int Driver::TypeAtCaret(int id, std::string_view text)
{
    fw::Control& control = EditForTyping(id);
    int accepted = 0;
    // Key by key: the drawing that a keystroke causes runs before the next key.
    for (size_t i = 0; i < text.size();) {
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
            ++n;
        accepted += control.UserType(text.substr(i, n));
        Settle();
        i += n;
    }
    return accepted;
}

void Driver::Paste(int id, std::string_view text)
{
    EditForTyping(id).UserPaste(text);
    Settle();
}

void Driver::PasteOver(int id, std::string_view text)
{
    fw::Control& control = EditForTyping(id);
    control.SelectAll();
    control.UserPaste(text);
    Settle();
}

void Driver::Select(int id, size_t start, size_t end) { EditForTyping(id).SetSelection(start, end); }

void Driver::Backspace(int id)
{
    fw::Control& control = EditForTyping(id);
    std::string text = control.Text();
    size_t start = control.SelectionStart();
    const size_t end = control.SelectionEnd();
    if (start == end) {
        if (start == 0)
            return;
        --start;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
            --start;
    }
    text.erase(start, end - start);
    control.SetSelection(start, start);
    control.UserReplaceText(text);
    control.SetSelection(start, start);
    Settle();
}

void Driver::Clear(int id)
{
    fw::Control& control = EditForTyping(id);
    control.SelectAll();
    Backspace(id);
}

void Driver::Click(int id)
{
    fw::Control& control = ControlById(id);
    control.RequestFocus();
    control.UserClick();
    Settle();
}

void Driver::DragSlider(int id, int position)
{
    fw::Control& control = ControlById(id);
    control.RequestFocus();
    control.UserSetPos(position);
    Settle();
}

bool Driver::PressOK()
{
    const bool ended = m_sheet.PressOK();
    Settle();
    return ended;
}

void Driver::PressCancel() { m_sheet.PressCancel(); }

void Driver::PressHelp()
{
    m_sheet.PressHelp();
    Settle();
}

} // namespace fw::headless
