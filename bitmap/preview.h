// The preview and the file chooser both bitmap pages use: one name edit, one picture control.
#pragma once

#include "framework/core/cwnd.h"
#include "framework/core/ddx.h"

// The program's fallback picture, shown for any file that is not previewed.
inline constexpr int kFallbackBitmapId = 1007;

// Shows the bitmap the edit names (the file the engine would open under that name) in the
// picture when its shape code is expectedCode;
// otherwise tells the user `message` (for any code but 0, which means no readable file) and
// shows the fallback. The picture owns what it shows: the bitmap shown before is freed once
// the new one is in place.
void ShowBitmapPreview(CEdit& nameEdit, CStatic& picture, int expectedCode, const char* message);

// Takes the picture's bitmap off and frees it; for a page whose controls go away.
void ClearBitmapPreview(CStatic& picture);

// The "..." button: lets the user choose a .bmp file and writes its name into the edit, bare
// when the file lies directly in the current directory, else its full path (in short form
// where the platform has one). For an engine that reads names its own way (a Windows engine
// under Wine) the full path is the engine's, and the dialog opens in the folder of the file the
// edit names. A cancelled dialog leaves the edit as it was; a name the backend refuses, or one
// terrain.ini could not give back (a space in a folder's name, a character outside the
// engine's code page), is explained to the user and leaves it too.
void BrowseForBitmap(CWnd& page, CEdit& nameEdit);

// The bitmap name's check, after its DDX_Text: in the save direction, a name terrain.ini could
// not give back is refused like any failed check (its message, the tab kept, the focus on the
// name's edit).
void DDV_BitmapName(CDataExchange* pDX, const CString& name);
