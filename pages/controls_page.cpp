// The Controls tab's exchange: the speed, free move, and one character per key binding.
#include "pages/controls_page.h"

#include "res/resource.h"

IMPLEMENT_DYNAMIC(ControlsPage, CPropertyPage)

ControlsPage::ControlsPage() : CPropertyPage(IDD_CONTROLS), m_transSpeed(0.0f), m_freeMove(0) {}

ControlsPage::~ControlsPage() = default;

void ControlsPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_CONTROLS_TRANS_SPEED, m_transSpeed);
    DDX_Check(pDX, IDC_CONTROLS_FREE_MOVE, m_freeMove);
    DDX_Text(pDX, IDC_CONTROLS_STRAFE_LEFT, m_keyStrafeLeft);
    DDV_MaxChars(pDX, m_keyStrafeLeft, 1);
    DDX_Text(pDX, IDC_CONTROLS_MOVE_FORWARD, m_keyMoveForward);
    DDV_MaxChars(pDX, m_keyMoveForward, 1);
    DDX_Text(pDX, IDC_CONTROLS_MOVE_BACKWARD, m_keyMoveBackward);
    DDV_MaxChars(pDX, m_keyMoveBackward, 1);
    DDX_Text(pDX, IDC_CONTROLS_MOVE_UP, m_keyMoveUp);
    DDV_MaxChars(pDX, m_keyMoveUp, 1);
    DDX_Text(pDX, IDC_CONTROLS_MOVE_DOWN, m_keyMoveDown);
    DDV_MaxChars(pDX, m_keyMoveDown, 1);
    DDX_Text(pDX, IDC_CONTROLS_STRAFE_RIGHT, m_keyStrafeRight);
    DDV_MaxChars(pDX, m_keyStrafeRight, 1);
    DDX_Text(pDX, IDC_CONTROLS_SHADE_SWITCH, m_keyShadeSwitch);
    DDV_MaxChars(pDX, m_keyShadeSwitch, 1);
    DDX_Text(pDX, IDC_CONTROLS_POLY_SWITCH, m_keyPolySwitch);
    DDV_MaxChars(pDX, m_keyPolySwitch, 1);
    DDX_Text(pDX, IDC_CONTROLS_TEXTURE_SWITCH, m_keyTextureSwitch);
    DDV_MaxChars(pDX, m_keyTextureSwitch, 1);
    // The culling toggle takes a binding of any length.
    DDX_Text(pDX, IDC_CONTROLS_CULL_SWITCH, m_keyCullSwitch);
    DDX_Text(pDX, IDC_CONTROLS_DETAIL_UP, m_keyDetailUp);
    DDV_MaxChars(pDX, m_keyDetailUp, 1);
    DDX_Text(pDX, IDC_CONTROLS_DETAIL_DOWN, m_keyDetailDown);
    DDV_MaxChars(pDX, m_keyDetailDown, 1);
    DDX_Text(pDX, IDC_CONTROLS_LOCALDETAIL_UP, m_keyLocalDetailUp);
    DDV_MaxChars(pDX, m_keyLocalDetailUp, 1);
    DDX_Text(pDX, IDC_CONTROLS_LOCALDETAIL_DOWN, m_keyLocalDetailDown);
    DDV_MaxChars(pDX, m_keyLocalDetailDown, 1);
}

BEGIN_MESSAGE_MAP(ControlsPage, CPropertyPage)
END_MESSAGE_MAP()
