// The file dialog's framework side: its construction record, filter and result.
#include "framework/core/filedlg.h"

#include "framework/core/backend.h"
#include "framework/core/system.h"

IMPLEMENT_DYNAMIC(CFileDialog, CWnd)

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExtension, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent, DWORD structSize)
    : m_bOpenFileDialog(openFileDialog), m_defaultExtension(defaultExtension),
      m_hasDefaultExtension(defaultExtension != nullptr), m_initialFileName(fileName),
      m_hasInitialFileName(fileName != nullptr), m_flags(flags), m_filter(filter), m_parent(parent),
      m_structSize(structSize)
{
}

std::intptr_t CFileDialog::DoModal()
{
    m_pathName.Empty();
    m_refusal.Empty();
    m_refusedCodePage = 0;
    fw::Backend* backend = fw::GetBackend();
    if (backend == nullptr)
        return IDCANCEL;
    return backend->RunFileDialog(*this);
}

CString CFileDialog::GetFileName() const
{
    const std::string& path = m_pathName.str();
    size_t slash = path.find_last_of(fw::PathSeparator);
#ifdef _WIN32
    const size_t other = path.find_last_of('/');
    if (other != std::string::npos && (slash == std::string::npos || other > slash))
        slash = other;
#endif
    return CString(slash == std::string::npos ? path : path.substr(slash + 1));
}

std::vector<CFileDialog::FilterEntry> CFileDialog::FilterEntries() const
{
    // "Description|pattern|Description|pattern||"
    std::vector<FilterEntry> entries;
    const std::string& filter = m_filter.str();
    size_t pos = 0;
    while (pos < filter.size()) {
        const size_t bar1 = filter.find('|', pos);
        if (bar1 == std::string::npos || bar1 == pos)
            break;
        const size_t bar2 = filter.find('|', bar1 + 1);
        const size_t end = bar2 == std::string::npos ? filter.size() : bar2;
        entries.push_back({CString(filter.substr(pos, bar1 - pos)), CString(filter.substr(bar1 + 1, end - bar1 - 1))});
        if (bar2 == std::string::npos)
            break;
        pos = bar2 + 1;
    }
    return entries;
}
