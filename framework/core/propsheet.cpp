// Property pages and sheet: page creation, the exchange on entering and leaving, OK and Cancel.
#include "framework/core/propsheet.h"

#include "framework/core/backend.h"
#include "framework/core/winapp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    fw::PageWindow* window = GetPageWindow();
    if (window == nullptr)
        return FALSE;
    CDataExchange dx(this, saveAndValidate);
    window->LockNotifications();
    DoDataExchange(&dx);
    window->UnlockNotifications();
    return dx.Failed() ? FALSE : TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)

BEGIN_MESSAGE_MAP(CPropertyPage, CCmdTarget)
END_MESSAGE_MAP()

CPropertyPage::CPropertyPage(UINT templateId, UINT /*captionId*/) : CDialog(templateId) {}

CPropertyPage::CPropertyPage(const fw::DialogTemplate& tmpl) : CDialog(static_cast<UINT>(tmpl.id)), m_template(&tmpl) {}

CPropertyPage::~CPropertyPage() = default;

const fw::DialogTemplate* CPropertyPage::Template() const
{
    return m_template != nullptr ? m_template : fw::FindDialogTemplate(static_cast<int>(TemplateId()));
}

CString CPropertyPage::GetTitle() const
{
    const fw::DialogTemplate* tmpl = Template();
    return CString(tmpl != nullptr ? tmpl->caption : "");
}

bool CPropertyPage::CreatePageWindow()
{
    if (m_window)
        return true;
    const fw::DialogTemplate* tmpl = Template();
    if (tmpl == nullptr)
        return false;
    m_window = std::make_unique<fw::PageWindow>(*this, *tmpl);
    m_firstSetActive = true;
    OnInitDialog();
    return true;
}

void CPropertyPage::DestroyPageWindow() { m_window.reset(); }

BOOL CPropertyPage::OnSetActive()
{
    // The first activation follows OnInitDialog, whose exchange has just filled the controls.
    if (m_firstSetActive)
        m_firstSetActive = false;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : m_caption(caption), m_parent(parent), m_initialPage(selectPage)
{
}

// The pages may already be gone (they are often declared after the sheet); each page frees its
// own window, and DoModal has closed them all.
CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* page)
{
    if (page != nullptr)
        m_pages.push_back(page);
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

std::intptr_t CPropertySheet::DoModal()
{
    fw::Backend* backend = fw::GetBackend();
    if (backend == nullptr || m_pages.empty())
        return -1;
    m_result = 0;
    const int result = backend->RunSheet(*this);
    Close();
    return result;
}

bool CPropertySheet::Open()
{
    m_result = 0;
    m_active = -1;
    const int initial = static_cast<int>(m_initialPage) < GetPageCount() ? static_cast<int>(m_initialPage) : 0;
    if (!Activate(initial)) {
        m_result = -1;
        return false;
    }
    return true;
}

bool CPropertySheet::Activate(int index)
{
    CPropertyPage* page = GetPage(index);
    if (page == nullptr)
        return false;
    const bool created = !page->HasWindow();
    if (!page->CreatePageWindow())
        return false;
    if (created && m_view != nullptr)
        m_view->PageCreated(index);
    page->OnSetActive();
    if (CPropertyPage* previous = GetPage(m_active); previous != nullptr && previous != page && previous->HasWindow())
        previous->GetPageWindow()->SetVisible(false);
    m_active = index;
    page->GetPageWindow()->SetVisible(true);
    if (m_view != nullptr)
        m_view->ActivePageChanged(index);
    return true;
}

bool CPropertySheet::SetActivePage(int index)
{
    if (Ended() || index == m_active || GetPage(index) == nullptr)
        return false;
    if (CPropertyPage* current = GetActivePage(); current != nullptr && !current->OnKillActive())
        return false;
    return Activate(index);
}

bool CPropertySheet::PressOK()
{
    if (Ended())
        return true;
    if (CPropertyPage* current = GetActivePage(); current != nullptr && !current->OnKillActive())
        return false;
    // A save that fails leaves the sheet open with what the user entered, to be tried again.
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this && !app->SaveAllModified())
        return false;
    m_result = IDOK;
    return true;
}

void CPropertySheet::PressCancel()
{
    if (!Ended())
        m_result = IDCANCEL;
}

void CPropertySheet::PressHelp()
{
    if (CWinApp* app = AfxGetApp())
        app->OnCmdMsg(WM_COMMAND, 0, ID_HELP);
}

void CPropertySheet::Close()
{
    for (CPropertyPage* page : m_pages)
        page->DestroyPageWindow();
    m_active = -1;
}
