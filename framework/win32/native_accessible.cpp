// What screen readers hear of controls: the platform's own accessible object of the control,
// with the name, the description and the keyboard shortcut answered by the layer.
// WM_GETOBJECT is answered rather than IAccPropServices annotations, which Wine's oleacc does not
// implement (SetHwndPropStr returns E_NOTIMPL there).
#include "framework/win32/native_accessible.h"

#include "framework/win32/native.h"
#include "framework/win32/native_system.h"

#include <oleacc.h>

#include <cctype>
#include <unordered_map>
#include <utility>

namespace fw::win32 {
namespace {

// IID_IAccessible, here rather than from MinGW's import library.
constexpr GUID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// oleacc and oleaut32, loaded from the system folder on the first request a screen reader makes:
// most starts meet no screen reader. Without them the request gets the standard answer.
struct AccessibilityLibraries {
    decltype(&CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&LresultFromObject) resultFromObject = nullptr;
    decltype(&SysAllocString) allocString = nullptr;
};

const AccessibilityLibraries* Accessibility()
{
    static const AccessibilityLibraries libraries{
        SystemFunction<decltype(&CreateStdAccessibleObject)>("oleacc.dll", "CreateStdAccessibleObject"),
        SystemFunction<decltype(&LresultFromObject)>("oleacc.dll", "LresultFromObject"),
        SystemFunction<decltype(&SysAllocString)>("oleaut32.dll", "SysAllocString")};
    const bool complete = libraries.createStandard != nullptr && libraries.resultFromObject != nullptr &&
                          libraries.allocString != nullptr;
    return complete ? &libraries : nullptr;
}

bool Same(REFIID a, const GUID& b) { return IsEqualGUID(a, b) != FALSE; }

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// What the layer says of a control; an empty text leaves the standard object's answer.
struct Texts {
    std::wstring name;
    std::wstring description;
    std::wstring shortcut;
};

// Answers with a text of the layer's when it has one for the control itself.
HRESULT Answer(const std::wstring& text, BSTR* out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = Accessibility()->allocString(text.c_str()); // loaded before any object was made
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The control's standard object, passed through but for the layer's texts.
class NamedAccessible final : public IAccessible {
public:
    NamedAccessible(IAccessible* standard, const Texts& texts) : m_standard(standard), m_texts(texts) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (Same(iid, __uuidof(IUnknown)) || Same(iid, __uuidof(IDispatch)) || Same(iid, kIAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // What a screen reader asks besides: the window behind the object, its children.
        if (Same(iid, __uuidof(IOleWindow)) || Same(iid, __uuidof(IEnumVARIANT)))
            return m_standard->QueryInterface(iid, out);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (!IsSelf(child) || m_texts.name.empty())
            return m_standard->get_accName(child, name);
        return Answer(m_texts.name, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        if (!IsSelf(child) || m_texts.description.empty())
            return m_standard->get_accDescription(child, text);
        return Answer(m_texts.description, text);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        if (!IsSelf(child) || m_texts.shortcut.empty())
            return m_standard->get_accKeyboardShortcut(child, shortcut);
        return Answer(m_texts.shortcut, shortcut);
    }

    // The rest is the standard object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_standard->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override
    {
        return m_standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* wrongArgument) override
    {
        return m_standard->Invoke(id, iid, locale, flags, params, result, exception, wrongArgument);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return m_standard->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        return m_standard->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        return m_standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        return m_standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return m_standard->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override
    {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override
    {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override
    {
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return m_standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_standard->put_accValue(child, value);
    }

private:
    ~NamedAccessible() { m_standard->Release(); }

    IAccessible* m_standard;
    Texts m_texts;
    LONG m_references = 1;
};

// A control a screen reader hears by the layer's texts, and the window procedure it had.
struct Reader {
    WNDPROC original;
    Texts texts;
};

// The controls' own window procedure is replaced rather than subclassed through the common
// controls, which ask the system for a window property on every message the control gets:
// the first screen's paints alone would ask hundreds of times. Only the user-interface thread
// makes and reads controls.
std::unordered_map<HWND, Reader>& Readers()
{
    static std::unordered_map<HWND, Reader> readers;
    return readers;
}

LRESULT CALLBACK NamedControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = Readers().find(window);
    if (found == Readers().end())
        return DefWindowProcW(window, message, wParam, lParam);
    Reader& reader = found->second; // stays where it is until erased
    const WNDPROC original = reader.original;
    const AccessibilityLibraries* libraries = nullptr;
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT &&
        (libraries = Accessibility()) != nullptr) {
        JoinCom(); // the object goes to the screen reader through COM
        IAccessible* standard = nullptr;
        if (SUCCEEDED(
                libraries->createStandard(window, OBJID_CLIENT, kIAccessible, reinterpret_cast<void**>(&standard))) &&
            standard != nullptr) {
            auto* named = new NamedAccessible(standard, reader.texts);
            const LRESULT result = libraries->resultFromObject(kIAccessible, wParam, named);
            named->Release(); // the result holds its own reference
            return result;
        }
    } else if (message == WM_NCDESTROY) {
        Readers().erase(found);
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

// The texts a control is read by; nullptr when it has none.
Texts* TextsOf(HWND control)
{
    const auto found = Readers().find(control);
    return found != Readers().end() ? &found->second.texts : nullptr;
}

// The layer's descriptions are UTF-8: a preview's size is "257 \u00D7 257".
std::wstring FromUtf8(const std::string& text)
{
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), n);
    return wide;
}

} // namespace

void ReadForScreenReaders(HWND control, std::wstring name, const std::string& description, char key)
{
    const auto shown = static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(key)));
    Texts texts{std::move(name), FromUtf8(description), key != 0 ? std::wstring(L"Alt+") + shown : std::wstring()};
    if (Texts* kept = TextsOf(control)) {
        *kept = std::move(texts);
        return;
    }
    if (texts.name.empty() && texts.description.empty() && texts.shortcut.empty())
        return; // the standard object says the same
    Reader& reader = Readers()[control];
    reader.texts = std::move(texts);
    reader.original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NamedControlProc)));
    if (reader.original == nullptr)
        Readers().erase(control);
}

void SetAccessibleDescription(Handle control, const std::string& description)
{
    const auto window = static_cast<HWND>(control);
    Texts* kept = TextsOf(window);
    if (kept == nullptr) {
        if (description.empty())
            return;
        ReadForScreenReaders(window, {}, description, 0);
    } else {
        std::wstring wide = FromUtf8(description);
        if (kept->description == wide)
            return;
        kept->description = std::move(wide);
    }
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace fw::win32
