// Property pages and the property sheet, with the activation protocol the pages rely on.
#pragma once

#include <memory>
#include <vector>

#include "framework/core/cwnd.h"
#include "framework/core/ddx.h"
#include "framework/core/page_window.h"

#include <cstdint>

class CPropertySheet;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    UINT TemplateId() const { return m_templateId; }

    // Moves values between fields and controls; on a failed check shows its message, leaves the
    // focus on the control concerned and returns FALSE.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual BOOL OnInitDialog();

protected:
    virtual void DoDataExchange(CDataExchange* dx);

private:
    UINT m_templateId;
};

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);
    // A page on a template that is not one of the program's resources.
    explicit CPropertyPage(const fw::DialogTemplate& tmpl);
    ~CPropertyPage() override;

    // The tab title: the template's caption.
    CString GetTitle() const;

    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();

    fw::PageWindow* GetPageWindow() const override { return m_window.get(); }
    bool HasWindow() const { return m_window != nullptr; }

    // Made by the sheet: the first opening creates the window and runs OnInitDialog.
    bool CreatePageWindow();
    void DestroyPageWindow();

protected:
    DECLARE_MESSAGE_MAP()

private:
    const fw::DialogTemplate* Template() const;

    const fw::DialogTemplate* m_template = nullptr;
    std::unique_ptr<fw::PageWindow> m_window;
    bool m_firstSetActive = true;
};

namespace fw {

// What a toolkit backend attaches to a running sheet to mirror it.
class SheetView {
public:
    virtual ~SheetView() = default;
    virtual void PageCreated(int /*index*/) {}
    virtual void ActivePageChanged(int /*index*/) {}
};

} // namespace fw

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    explicit CPropertySheet(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;

    void AddPage(CPropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    int GetActiveIndex() const { return m_active; }
    CPropertyPage* GetActivePage() const { return GetPage(m_active); }
    const CString& GetCaption() const { return m_caption; }
    CWnd* GetParentWindow() const { return m_parent; }

    // Runs the sheet modally on the backend: IDOK, IDCANCEL, or -1 when it cannot open.
    virtual std::intptr_t DoModal();

    // The protocol, driven by the backend on the user's input.
    bool Open();                   // creates and activates the initial page
    bool SetActivePage(int index); // leaving validates; false keeps the current page
    // Validates the active page; a sheet that is the application's main window then asks the
    // application to save (CWinApp::SaveAllModified). True ends with IDOK; false keeps it open.
    bool PressOK();
    void PressCancel(); // ends with IDCANCEL, validating nothing
    void PressHelp();   // sends ID_HELP to the application
    bool Ended() const { return m_result != 0; }
    int Result() const { return m_result; }
    void Close(); // destroys the page windows

    void SetView(fw::SheetView* view) { m_view = view; }

private:
    bool Activate(int index);

    CString m_caption;
    CWnd* m_parent;
    UINT m_initialPage;
    std::vector<CPropertyPage*> m_pages;
    int m_active = -1;
    int m_result = 0;
    fw::SheetView* m_view = nullptr;
};
