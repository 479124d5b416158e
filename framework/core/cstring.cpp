// CString's comparisons.
#include "framework/core/cstring.h"

int CString::CompareNoCase(const char* other) const
{
    const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : int{c}; };
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_text.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(other != nullptr ? other : "");
    for (;; ++a, ++b) {
        const int d = lower(*a) - lower(*b);
        if (d != 0 || *a == 0)
            return d;
    }
}
