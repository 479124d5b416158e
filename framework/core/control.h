// The control model: one control of a page window, with the behaviour every backend shows the
// user. The headless backend uses it as it is; a toolkit backend mirrors it on real widgets
// through a ControlView and feeds the user's input back through the User* operations.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "framework/core/dialog_template.h"
#include "framework/core/wintypes.h"

class CWnd;
struct fw_bitmap_object;

namespace fw {

class Control;
class PageWindow;

// What a toolkit backend attaches to a control to mirror its state.
class ControlView {
public:
    virtual ~ControlView() = default;
    virtual void TextChanged(Control&) {}
    virtual void SelectionChanged(Control&) {}
    virtual void CheckChanged(Control&) {}
    virtual void SliderChanged(Control&) {}
    // The same change with the redraw flag the program gave, for a backend whose native slider
    // draws itself; by default the flag is not needed.
    virtual void SliderUpdated(Control& control, bool /*redraw*/) { SliderChanged(control); }
    virtual void BitmapChanged(Control&) {}
    virtual void FocusRequested(Control&) {}
    // The typing limit changed; a native edit applies it itself.
    virtual void LimitChanged(Control&) {}
    // What a screen reader reads as the control's description changed.
    virtual void AccessibleDescriptionChanged(Control&) {}
};

// The average character size of the dialog font, in pixels, from which dialog units are
// converted (x: a quarter of it per unit, y: an eighth). Backends set it from their font.
struct DialogBaseUnits {
    int x = 6;
    int y = 13;
};
DialogBaseUnits GetDialogBaseUnits();
void SetDialogBaseUnits(DialogBaseUnits units);
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);

// Number of characters as the user sees them (UTF-8 sequences count once).
int CharacterCount(std::string_view text);

class Control {
public:
    Control(PageWindow& page, const ControlTemplate& tmpl);
    ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int Id() const { return m_template.id; }
    ControlKind Kind() const { return m_template.kind; }
    const ControlTemplate& Template() const { return m_template; }
    PageWindow& Page() const { return m_page; }
    DWORD Style() const { return m_template.style; }
    // What the control holds, in the application's words ("" when it gave none): the backends
    // show it as the tooltip and, unless the program says otherwise, the accessible description.
    const char* Description() const { return m_description; }
    // What a screen reader reads as the description: what the program last said the control
    // shows (a picture), else Description(). In UTF-8.
    const std::string& AccessibleDescription() const { return m_accessibleDescription; }
    void SetAccessibleDescription(std::string_view text);
    // What a screen reader calls the control (AccessibleNameFor, or the application's name for
    // it); "" when it names itself.
    const std::string& AccessibleName() const { return m_accessibleName; }
    void SetAccessibleName(std::string name) { m_accessibleName = std::move(name); }
    // The key that reaches the control, or that a label gives the control it labels; 0 for none.
    char AccessKey() const { return m_accessKey; }
    void SetAccessKey(char key) { m_accessKey = key; }
    // The caption as shown, with the access key's marker (MarkAccessKey).
    std::string MarkedText() const;

    // Text of any control (an edit's contents, a button's or static's caption).
    const std::string& Text() const { return m_text; }
    // Sets the text as the program does: no typing limit; an edit notifies when it changes.
    void SetText(std::string_view text);

    // Edit: typing limit in characters (0: none) and selection in bytes.
    int Limit() const { return m_limit; }
    void SetLimit(int characters)
    {
        m_limit = characters < 0 ? 0 : characters;
        if (m_view != nullptr)
            m_view->LimitChanged(*this);
    }
    size_t SelectionStart() const { return m_selStart; }
    size_t SelectionEnd() const { return m_selEnd; }
    void SetSelection(size_t start, size_t end);
    void SelectAll() { SetSelection(0, m_text.size()); }

    // Check box state (0 clear, 1 set).
    int Check() const { return m_check; }
    void SetCheck(int state); // no notification

    // Slider.
    int RangeMin() const { return m_rangeMin; }
    int RangeMax() const { return m_rangeMax; }
    int Pos() const { return m_pos; }
    void SetRangeMin(int value, bool redraw);
    void SetRangeMax(int value, bool redraw);
    void SetPos(int value, bool redraw);

    // Picture: the bitmap shown; returns the one shown before, which the caller then owns. The
    // bitmap still shown when the control goes is freed with it.
    fw_bitmap_object* Bitmap() const { return m_bitmap; }
    fw_bitmap_object* SetBitmap(fw_bitmap_object* bitmap);

    // Input from the user. An edit is a single line: it never takes a CR or LF from the user.
    // Typing replaces the selection one character at a time, applying the typing limit and
    // upper-casing, and skips line breaks; each accepted character notifies. Returns the number
    // of characters accepted.
    int UserType(std::string_view text);
    // Paste: the text before the first line break in one change, cut to the typing limit.
    void UserPaste(std::string_view text);
    // The user's editing left the edit holding this text (backspace, delete, cut, a drop or a
    // toolkit's own editing): one change, no limit applied, and of the text inserted only what
    // precedes its first line break.
    void UserReplaceText(std::string_view text);
    void UserClick();
    void UserSetPos(int pos);

    // The control's window object: the member attached by DDX_Control, or a wrapper of its own.
    CWnd& Window();
    void Attach(CWnd* member) { m_member = member; }
    void Detach(CWnd* member)
    {
        if (m_member == member)
            m_member = nullptr;
    }

    void SetView(ControlView* view) { m_view = view; }
    ControlView* View() const { return m_view; }

    // Draws the slider (sends NM_CUSTOMDRAW to the page) if it is shown.
    void Draw();
    // Asks for a drawing once the current input has been handled.
    void Invalidate() { ScheduleDraw(); }
    void RequestFocus();

private:
    void ChangeText(std::string text, size_t caret);
    void NotifyEdit();
    void ScheduleDraw();

    PageWindow& m_page;
    const ControlTemplate& m_template;
    const char* m_description;
    std::string m_accessibleDescription;
    std::string m_accessibleName;
    char m_accessKey = 0;
    std::string m_text;
    int m_limit = 0;
    size_t m_selStart = 0;
    size_t m_selEnd = 0;
    int m_check = 0;
    int m_rangeMin = 0;
    int m_rangeMax = 100;
    int m_pos = 0;
    fw_bitmap_object* m_bitmap = nullptr;
    CWnd* m_member = nullptr;
    std::unique_ptr<CWnd> m_wrapper;
    ControlView* m_view = nullptr;
};

// Drawing the platform does asynchronously: slider drawings scheduled by a change of position
// or by a page being shown run when the current input has been handled.
void RunPendingDrawing();
bool HasPendingDrawing();

// On a backend whose sliders are the platform's own, the platform draws them and sends their
// NM_CUSTOMDRAW itself: the model then schedules no drawing of its own.
void SetNativeDrawing(bool native);
bool NativeDrawing();

} // namespace fw
