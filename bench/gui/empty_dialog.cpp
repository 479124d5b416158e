// The floor of any Windows program's first window: an empty dialog from a template, on the
// system's dialog manager alone.
#include <windows.h>

INT_PTR CALLBACK EmptyDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, EmptyDialog, 0) == IDOK ? 0 : 3;
}
