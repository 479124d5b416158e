// CString: the framework's single-byte string, owning its text.
#pragma once

#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text != nullptr ? text : "") {}
    CString(std::string_view text) : m_text(text) {}
    CString(std::string text) : m_text(std::move(text)) {}

    CString& operator=(const char* text)
    {
        m_text = text != nullptr ? text : "";
        return *this;
    }
    CString& operator+=(std::string_view text)
    {
        m_text += text;
        return *this;
    }
    CString& operator+=(char c)
    {
        m_text += c;
        return *this;
    }

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    // Compares as the platform does without regard to letter case: <0, 0 or >0.
    int CompareNoCase(const char* other) const;

    operator const char*() const { return m_text.c_str(); }
    const char* c_str() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b != nullptr ? b : ""); }
    friend CString operator+(const CString& a, std::string_view b)
    {
        CString r(a);
        r += b;
        return r;
    }

private:
    std::string m_text;
};
