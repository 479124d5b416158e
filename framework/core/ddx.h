// Data exchange and validation between a page's value fields and its controls.
#pragma once

#include <map>

#include "framework/core/cstring.h"
#include "framework/core/wintypes.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate; // TRUE: controls to fields, with validation
    CWnd* m_pDlgWnd;

    // The first failing step shows its message and sets this; every later step does nothing.
    bool Failed() const { return m_failed; }
    void Fail(int focusId);

    int m_idLastControl = 0;
    bool m_bEditLastControl = false;

    // Which control a field was exchanged with, so that a failed check can put the focus there.
    void Remember(const void* field, int id) { m_fieldControl[field] = id; }
    int ControlOf(const void* field) const;

private:
    bool m_failed = false;
    std::map<const void*, int> m_fieldControl;
};

void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDV_MinMaxInt(CDataExchange* dx, const int& value, int minimum, int maximum);
void DDV_MinMaxFloat(CDataExchange* dx, const float& value, float minimum, float maximum);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int characters);

namespace fw {

// How the exchange shows and reads numbers: floats in the fewest digits that read back to the
// same float; integers and numbers read strictly (white space around, nothing else).
CString FormatFloat(float value);
bool ParseInt(const char* text, int& value);
bool ParseFloat(const char* text, float& value);

} // namespace fw
