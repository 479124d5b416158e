// The sheet's own dialog template, made in memory, the program's icon for its title bar, and the
// size each page's dialog resource asks for.
#include "framework/win32/native_sheet_parts.h"

namespace fw::win32::sheet {
namespace {

void PushDword(std::vector<WORD>& out, DWORD value)
{
    out.push_back(LOWORD(value));
    out.push_back(HIWORD(value));
}

void PushText(std::vector<WORD>& out, const std::string& text)
{
    for (wchar_t c : Wide(text))
        out.push_back(static_cast<WORD>(c));
    out.push_back(0);
}

} // namespace

// The sheet's own dialog template: no controls, and the pages' font as their templates ask for
// it (FONT 8, "MS Shell Dlg", 400, 0, 0x1 with DS_SHELLFONT), so that Windows maps both to the
// shell font and the tabs and buttons match the pages. DS_FIXEDSYS takes effect only in an
// extended template.
std::vector<WORD> SheetTemplate(const std::string& caption)
{
    std::vector<WORD> t;
    t.reserve(64 + caption.size());
    t.push_back(1);      // dlgVer
    t.push_back(0xFFFF); // signature: DLGTEMPLATEEX
    PushDword(t, 0);     // helpID
    PushDword(t, WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME);
    PushDword(t, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME | DS_SHELLFONT | DS_3DLOOK);
    t.push_back(0);                                                  // no controls
    for (const WORD extent : {WORD{0}, WORD{0}, WORD{10}, WORD{10}}) // sized once the pages are known
        t.push_back(extent);
    t.push_back(0); // no menu
    t.push_back(0); // the dialog class
    PushText(t, caption);
    t.push_back(8);                    // points
    t.push_back(FW_NORMAL);            // weight
    t.push_back(DEFAULT_CHARSET << 8); // not italic; the charset
    PushText(t, "MS Shell Dlg");
    return t;
}

// The program's icon, as Explorer shows it: the first icon group of the module, at the size
// asked for (the current DPI's, from the system metrics). nullptr when there is none.
HICON ProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric)
{
    struct FirstName {
        LPSTR id = nullptr;
        std::string text; // a name given as text lives only as long as the enumeration
    } first;
    EnumResourceNamesA(
        instance, MAKEINTRESOURCEA(14), // RT_GROUP_ICON
        [](HMODULE, LPCSTR, LPSTR name, LONG_PTR found) -> BOOL {
            auto* out = reinterpret_cast<FirstName*>(found);
            if (IS_INTRESOURCE(name))
                out->id = name;
            else
                out->text = name;
            return FALSE;
        },
        reinterpret_cast<LONG_PTR>(&first));
    if (first.id == nullptr && first.text.empty())
        return nullptr;
    return static_cast<HICON>(LoadImageA(instance, first.id != nullptr ? first.id : first.text.c_str(), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0));
}

// The size a dialog resource asks for, in dialog units.
SIZE TemplateSize(HINSTANCE instance, int id)
{
    SIZE size{0, 0};
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)); // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (bytes == nullptr || SizeofResource(instance, found) < 26)
        return size;
    const auto word = [bytes](size_t at) { return static_cast<short>(bytes[at] | (bytes[at + 1] << 8)); };
    // DIALOGEX starts with version 1 and signature 0xFFFF; the classic header has no such pair.
    const bool extended = word(0) == 1 && word(2) == -1;
    size.cx = word(extended ? 22 : 14);
    size.cy = word(extended ? 24 : 16);
    return size;
}

} // namespace fw::win32::sheet
