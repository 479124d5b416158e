// The Controls tab: movement speed, free move and the fourteen key bindings.
#pragma once

#include "framework/core/propsheet.h"

class ControlsPage : public CPropertyPage {
    DECLARE_DYNAMIC(ControlsPage)
public:
    ControlsPage();
    ~ControlsPage() override;

    float m_transSpeed;
    int m_freeMove;
    CString m_keyStrafeLeft;
    CString m_keyMoveForward;
    CString m_keyMoveBackward;
    CString m_keyMoveUp;
    CString m_keyMoveDown;
    CString m_keyStrafeRight;
    CString m_keyShadeSwitch;
    CString m_keyPolySwitch;
    CString m_keyTextureSwitch;
    CString m_keyCullSwitch;
    CString m_keyDetailUp;
    CString m_keyDetailDown;
    CString m_keyLocalDetailUp;
    CString m_keyLocalDetailDown;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
