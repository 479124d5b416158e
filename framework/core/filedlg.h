// The platform's file-open dialog, as the framework wraps it.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/cwnd.h"

class CFileDialog : public CWnd {
    DECLARE_DYNAMIC(CFileDialog)
public:
    CFileDialog(BOOL openFileDialog, const char* defaultExtension = nullptr, const char* fileName = nullptr,
                DWORD flags = 0, const char* filter = nullptr, CWnd* parent = nullptr, DWORD structSize = 0);

    // IDOK with a chosen file, IDCANCEL otherwise.
    virtual std::intptr_t DoModal();
    CString GetPathName() const { return m_pathName; }
    CString GetFileName() const;

    // What the dialog was constructed with.
    BOOL m_bOpenFileDialog;
    CString m_defaultExtension;
    bool m_hasDefaultExtension;
    CString m_initialFileName;
    bool m_hasInitialFileName;
    DWORD m_flags;
    CString m_filter;
    CWnd* m_parent;
    DWORD m_structSize;

    // What the program may set of the platform's dialog structure before DoModal: the folder the
    // dialog opens in (null: where the platform opens it).
    struct OpenFileName {
        const char* lpstrInitialDir = nullptr;
    } m_ofn;

    // The filter in the framework's notation, as (description, pattern) pairs.
    struct FilterEntry {
        CString description;
        CString pattern;
    };
    std::vector<FilterEntry> FilterEntries() const;

    // Set by the backend when the user chose a file.
    void SetChosenPath(const char* path) { m_pathName = path; }

    // Set by the backend instead of a path when the platform's dialog cannot be shown at all (its
    // library missing): DoModal then returns IDOK, GetPathName is empty and this says why, for the
    // user.
    void RefuseChosenPath(const char* why) { m_refusal = why; }
    const CString& GetRefusal() const { return m_refusal; }

    // Set by the backend instead of a path when the user chose a file whose name the system's
    // ANSI code page cannot spell, with no short form it can either (Windows only): DoModal then
    // returns IDOK, GetPathName is empty, and this is that code page (0 when nothing was refused).
    void RefuseChosenName(unsigned codePage) { m_refusedCodePage = codePage; }
    unsigned GetRefusedCodePage() const { return m_refusedCodePage; }

private:
    CString m_pathName;
    CString m_refusal;
    unsigned m_refusedCodePage = 0;
};
