// What the files of the sheet's native window share: its own message and control ids, and the
// pieces that the template, layout and keyboard files make for native_sheet.cpp. Included by
// those files only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/win32/native.h"

namespace fw::win32::sheet {

constexpr UINT kDeferredTab = WM_APP + 1;
constexpr int kHelpButton = 9; // IDHELP
constexpr int kTabControl = 0x3020;

inline HWND H(Handle handle) { return static_cast<HWND>(handle); }

// native_sheet_template.cpp: the sheet's own dialog template, the program's icon, and the size a
// page's dialog resource asks for.
std::vector<WORD> SheetTemplate(const std::string& caption);
HICON ProgramIcon(HINSTANCE instance, int widthMetric, int heightMetric);
SIZE TemplateSize(HINSTANCE instance, int id);
// Dialog resource `id` rewritten as a page of the sheet: a child that shares the sheet's
// keyboard navigation, its controls as `shape` says. Empty when the resource can't be read.
// `made` is the resource's entry of each control in the order the page will make them.
std::vector<WORD> PageTemplate(HINSTANCE instance, int id, const PageShape& shape, std::vector<std::size_t>& made);

// native_sheet_layout.cpp: a page's themed background and its captions fitted to the font.
void UseTabBackground(HWND page);
void FitCaptions(HWND page, const std::vector<Handle>& children);

// native_sheet_keyboard.cpp
char AccessKeyOf(const std::string& marked);
bool IsPushButton(HWND window);

} // namespace fw::win32::sheet
