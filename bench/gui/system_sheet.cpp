// The floor of Sandrel.exe's start: what a Win32 programmer would write for the same first
// screen. The system's own property sheet over the four dialogs of res/Sandrel.rc (compiled in,
// with its icon and manifest), the General page filled with the values Sandrel shows without a
// terrain.ini, and the map loaded by LoadImage.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "resource.h"

namespace {

INT_PTR CALLBACK GeneralPage(HWND page, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    const struct {
        int id;
        const char* text;
    } edits[] = {{IDC_GENERAL_MAP_NAME, "257x257.bmp"}, {IDC_GENERAL_WIDTH, "800"},      {IDC_GENERAL_HEIGHT, "600"},
                 {IDC_GENERAL_GLOBAL_DETAIL, "9"},      {IDC_GENERAL_LOCAL_DETAIL, "3"}, {IDC_GENERAL_MIN_DETAIL, "3"},
                 {IDC_GENERAL_MAX_DETAIL, "32"}};
    for (const auto& edit : edits)
        SetDlgItemTextA(page, edit.id, edit.text);
    CheckDlgButton(page, IDC_GENERAL_FRUSTUM_CULLING, BST_CHECKED);
    HANDLE map = LoadImageA(nullptr, "257x257.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    SendDlgItemMessageA(page, IDC_GENERAL_PREVIEW, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(map));
    return TRUE;
}

INT_PTR CALLBACK OtherPage(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES;
    InitCommonControlsEx(&controls);

    PROPSHEETPAGEA pages[4] = {};
    const int templates[4] = {IDD_GENERAL, IDD_TEXTURE, IDD_OPENGL, IDD_CONTROLS};
    for (int i = 0; i < 4; ++i) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_HASHELP;
        pages[i].hInstance = instance;
        pages[i].pszTemplate = MAKEINTRESOURCEA(templates[i]);
        pages[i].pfnDlgProc = i == 0 ? GeneralPage : OtherPage;
    }
    PROPSHEETHEADERA sheet{};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_HASHELP | PSH_USEICONID;
    sheet.hInstance = instance;
    sheet.pszIcon = MAKEINTRESOURCEA(IDI_SANDREL);
    sheet.pszCaption = "Sandrel";
    sheet.nPages = 4;
    sheet.ppsp = pages;
    return PropertySheetA(&sheet) > 0 ? 0 : 3;
}
