// The sheet's own dialog template, made in memory, the pages' templates made from their dialog
// resources, the program's icon for its title bar, and the size each page's resource asks for.
#include "framework/win32/native_sheet_parts.h"

#include <cstring>

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

namespace {

// A dialog resource's words, read without passing its end.
struct ResourceWords {
    std::vector<WORD> words;

    bool Has(std::size_t at, std::size_t n = 1) const { return at <= words.size() && n <= words.size() - at; }
    // DIALOGEX starts with version 1 and signature 0xFFFF; the classic header has no such pair.
    bool Extended() const { return Has(0, 2) && words[0] == 1 && words[1] == 0xFFFF; }
    DWORD Dword(std::size_t at) const { return MAKELONG(words[at], words[at + 1]); }
    void SetDword(std::size_t at, DWORD value)
    {
        words[at] = LOWORD(value);
        words[at + 1] = HIWORD(value);
    }
    // Past a name or number (a menu's, a class's, a caption): nothing, 0xFFFF and a number, or
    // text up to its NUL. 0 when it runs past the end.
    std::size_t SkipName(std::size_t at) const
    {
        if (!Has(at))
            return 0;
        if (words[at] == 0)
            return at + 1;
        if (words[at] == 0xFFFF)
            return Has(at, 2) ? at + 2 : 0;
        for (; at < words.size(); ++at)
            if (words[at] == 0)
                return at + 1;
        return 0;
    }
};

// Dialog resource `id` of the module; no words when it has none.
ResourceWords DialogResource(HINSTANCE instance, int id)
{
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5)); // RT_DIALOG
    HGLOBAL loaded = found != nullptr ? LoadResource(instance, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return {};
    ResourceWords resource{std::vector<WORD>(SizeofResource(instance, found) / sizeof(WORD))};
    std::memcpy(resource.words.data(), bytes, resource.words.size() * sizeof(WORD));
    return resource;
}

} // namespace

// The page is made as the system's property sheet makes its pages, from a copy of its resource:
// a plain child from the start, and its controls made in the order Tab takes them, each with its
// group bit and text. Nothing is reordered, restyled or retitled once it exists.
std::vector<WORD> PageTemplate(HINSTANCE instance, int id, const PageShape& shape, std::vector<std::size_t>& made)
{
    const ResourceWords in = DialogResource(instance, id);
    if (!in.Has(0, 13))
        return {};
    const bool extended = in.Extended();
    const std::size_t styleAt = extended ? 6 : 0;
    const std::size_t exStyleAt = extended ? 4 : 2;
    const DWORD style = in.Dword(styleAt);
    const std::size_t controls = in.words[extended ? 8 : 4];
    std::size_t at = extended ? 13 : 9;
    for (int name = 0; name < 3 && at != 0; ++name) // the menu, the class, the caption
        at = in.SkipName(at);
    if (at != 0 && (style & DS_SETFONT) != 0)
        at = in.Has(at, extended ? 3 : 1) ? in.SkipName(at + (extended ? 3 : 1)) : 0;
    if (at == 0)
        return {};

    ResourceWords out{std::vector<WORD>(in.words.begin(), in.words.begin() + static_cast<std::ptrdiff_t>(at))};
    out.SetDword(styleAt, (style & ~static_cast<DWORD>(WS_CAPTION | WS_POPUP | WS_DISABLED | WS_SYSMENU |
                                                       WS_THICKFRAME | WS_VISIBLE)) |
                              WS_CHILD | DS_CONTROL);
    out.SetDword(exStyleAt, in.Dword(exStyleAt) | WS_EX_CONTROLPARENT);

    // Where each control's entry starts, and where its caption does.
    struct Entry {
        std::size_t start, caption, end;
    };
    std::vector<Entry> entries;
    const std::size_t fixed = extended ? 12 : 9; // the words before the control's class
    for (std::size_t i = 0; i < controls; ++i) {
        at += at % 2; // each entry starts on a DWORD
        Entry entry{at, in.SkipName(at + fixed), 0};
        const std::size_t extra = entry.caption != 0 ? in.SkipName(entry.caption) : 0;
        if (entry.caption == 0 || extra == 0 || !in.Has(extra, 1 + (in.words[extra] + 1u) / 2u))
            return {};
        entry.end = extra + 1 + (in.words[extra] + 1u) / 2u;
        entries.push_back(entry);
        at = entry.end;
    }

    // The order asked for, if it takes each control once; else the resource's.
    made.resize(controls);
    std::vector<bool> taken(controls, false);
    bool ordered = shape.order.size() == controls;
    for (std::size_t k = 0; ordered && k < controls; ++k) {
        ordered = shape.order[k] < controls && !taken[shape.order[k]];
        if (ordered)
            taken[shape.order[k]] = true;
    }
    for (std::size_t k = 0; k < controls; ++k)
        made[k] = ordered ? shape.order[k] : k;
    for (const std::size_t i : made) {
        const Entry& entry = entries[i];
        if (out.words.size() % 2 != 0)
            out.words.push_back(0);
        const std::size_t start = out.words.size();
        out.words.insert(out.words.end(), in.words.begin() + static_cast<std::ptrdiff_t>(entry.start),
                         in.words.begin() + static_cast<std::ptrdiff_t>(entry.caption));
        if (i < shape.startsGroup.size() && shape.startsGroup[i])
            out.SetDword(start + (extended ? 4 : 0), out.Dword(start + (extended ? 4 : 0)) | WS_GROUP);
        const std::size_t captionEnd = in.SkipName(entry.caption);
        // A caption given by number (a picture's bitmap) stays.
        if (i < shape.texts.size() && shape.texts[i].has_value() && in.words[entry.caption] != 0xFFFF) {
            // What SetWindowTextA would show: the text up to its first NUL, in the code page.
            for (const wchar_t c : Wide(std::string(shape.texts[i]->c_str())))
                out.words.push_back(static_cast<WORD>(c));
            out.words.push_back(0);
        } else {
            out.words.insert(out.words.end(), in.words.begin() + static_cast<std::ptrdiff_t>(entry.caption),
                             in.words.begin() + static_cast<std::ptrdiff_t>(captionEnd));
        }
        out.words.insert(out.words.end(), in.words.begin() + static_cast<std::ptrdiff_t>(captionEnd),
                         in.words.begin() + static_cast<std::ptrdiff_t>(entry.end));
    }
    return out.words;
}

// The size a dialog resource asks for, in dialog units.
SIZE TemplateSize(HINSTANCE instance, int id)
{
    const ResourceWords resource = DialogResource(instance, id);
    if (!resource.Has(0, 13))
        return SIZE{0, 0};
    const bool extended = resource.Extended();
    return SIZE{static_cast<short>(resource.words[extended ? 11 : 7]),
                static_cast<short>(resource.words[extended ? 12 : 8])};
}

} // namespace fw::win32::sheet
