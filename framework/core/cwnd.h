// Windows and controls of the framework, addressed by their dialog identifiers.
#pragma once

#include "framework/core/bitmap.h"
#include "framework/core/cstring.h"
#include "framework/core/msgmap.h"

namespace fw {
class Control;
class PageWindow;
} // namespace fw

struct CRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    static const CRuntimeClass classCCmdTarget;

    // Finds the handler for this message, code and identifier in the class's map and its bases'
    // maps and runs it. Returns whether a handler ran.
    bool OnCmdMsg(UINT message, UINT code, int id, NMHDR* header = nullptr, LRESULT* result = nullptr);

protected:
    static const fw::MessageMap* GetThisMessageMap();
    virtual const fw::MessageMap* GetMessageMap() const;
};

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The control this window object stands for (null for a page or sheet, or unattached).
    fw::Control* GetControl() const { return m_control; }
    bool IsAttached() const { return m_control != nullptr; }

    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    void SetWindowText(const char* text);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void GetClientRect(CRect* rect) const;
    void SetFocus();
    // What a screen reader reads as the control's description from now on, in UTF-8: what a
    // picture shows, say. Until the first call it is the control's tooltip text.
    void SetAccessibleDescription(const char* text);

    // Child controls of a dialog-like window (a page).
    CWnd* GetDlgItem(int id) const;
    void SetDlgItemText(int id, const char* text);
    void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
    UINT IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, UINT check);

    // Page windows are reached through this for their controls.
    virtual fw::PageWindow* GetPageWindow() const { return nullptr; }

protected:
    friend class fw::Control;
    friend void DDX_Control(class CDataExchange* dx, int id, CWnd& control);
    fw::Control* m_control = nullptr;
};

class CEdit : public CWnd {
public:
    void SetLimitText(UINT characters);
    void SetSel(int start, int end);
};

class CButton : public CWnd {
public:
    int GetCheck() const;
    void SetCheck(int check);
};

class CStatic : public CWnd {
public:
    // Shows the bitmap and returns the one shown before, which the caller then owns; the
    // control frees the bitmap it still shows when its window goes.
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
};

class CSliderCtrl : public CWnd {
public:
    void SetRangeMin(int minimum, BOOL redraw = FALSE);
    void SetRangeMax(int maximum, BOOL redraw = FALSE);
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    int GetRangeMin() const;
    int GetRangeMax() const;
    void SetPos(int position);
    int GetPos() const;
};

#ifndef STM_SETIMAGE
#define STM_SETIMAGE 0x0172
#define STM_GETIMAGE 0x0173
#define IMAGE_BITMAP 0
#endif
#ifndef EM_LIMITTEXT
#define EM_SETSEL 0x00B1
#define EM_LIMITTEXT 0x00C5
#endif
#ifndef BM_GETCHECK
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#endif
#ifndef TBM_GETRANGEMIN
#define TBM_GETRANGEMIN 0x0401
#define TBM_GETRANGEMAX 0x0402
#endif
