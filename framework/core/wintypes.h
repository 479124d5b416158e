// The framework's basic types and the numeric constants of the platform the launcher was
// designed for. Values are the platform's own, so that dialog templates and handlers read the
// same everywhere; each is guarded so that a backend may include the platform's headers too.
#pragma once

#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LRESULT = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Dialog results and message-box styles.
#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#endif
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#ifndef MB_OK
#define MB_OK 0x00000000u
#define MB_ICONERROR 0x00000010u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_SYSTEMMODAL 0x00001000u
#endif

// Messages and notification codes.
#ifndef WM_COMMAND
#define WM_NOTIFY 0x004E
#define WM_COMMAND 0x0111
#endif
#ifndef BN_CLICKED
#define BN_CLICKED 0
#endif
#ifndef EN_CHANGE
#define EN_CHANGE 0x0300
#define EN_UPDATE 0x0400
#endif
#ifndef NM_CUSTOMDRAW
#define NM_CUSTOMDRAW (0U - 12U)
#endif
#ifndef CDRF_DODEFAULT
#define CDRF_DODEFAULT 0x00000000
#endif

// The framework's help commands.
#ifndef ID_HELP
#define ID_HELP_FINDER 0xE143
#define ID_CONTEXT_HELP 0xE145
#define ID_HELP 0xE146
#define ID_DEFAULT_HELP 0xE147
#endif
#ifndef HH_DISPLAY_TOPIC
#define HH_DISPLAY_TOPIC 0x0000
#endif

// Slider (trackbar) messages.
#ifndef TBM_GETPOS
#define TBM_GETPOS 0x0400
#define TBM_SETPOS 0x0405
#define TBM_SETRANGEMIN 0x0407
#define TBM_SETRANGEMAX 0x0408
#endif

// Window and control styles used by the dialog templates.
#ifndef WS_CHILD
#define WS_TABSTOP 0x00010000u
#define WS_GROUP 0x00020000u
#define WS_BORDER 0x00800000u
#define WS_CAPTION 0x00C00000u
#define WS_DISABLED 0x08000000u
#define WS_VISIBLE 0x10000000u
#define WS_CHILD 0x40000000u
#define WS_POPUP 0x80000000u
#endif
#ifndef DS_SETFONT
#define DS_SETFONT 0x0040u
#define DS_FIXEDSYS 0x0008u
#endif
#ifndef ES_LEFT
#define ES_LEFT 0x0000u
#define ES_UPPERCASE 0x0008u
#define ES_AUTOHSCROLL 0x0080u
#endif
#ifndef SS_LEFT
#define SS_LEFT 0x0000u
#define SS_BITMAP 0x000Eu
#define SS_CENTERIMAGE 0x0200u
#endif
#ifndef BS_PUSHBUTTON
#define BS_PUSHBUTTON 0x0000u
#define BS_AUTOCHECKBOX 0x0003u
#define BS_GROUPBOX 0x0007u
#endif
#ifndef TBS_AUTOTICKS
#define TBS_AUTOTICKS 0x0001u
#define TBS_HORZ 0x0000u
#define TBS_NOTICKS 0x0010u
#endif

// Open-file dialog flags.
#ifndef OFN_HIDEREADONLY
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_NOCHANGEDIR 0x00000008u
#define OFN_FILEMUSTEXIST 0x00001000u
#endif
