// The Texture tab's exchange, its preview, and the edge-length slider kept in step with its edit.
#include "pages/texture_prop_page.h"

#include <climits>
#include <cmath>

#include "bitmap/load_bitmap.h"
#include "bitmap/preview.h"
#include "res/resource.h"

namespace {
constexpr const char* kWrongShape = "texture edge_len has to be 2**n";
constexpr int kEdgeLenMax = 2048;

// Truncation toward zero; a stored length beyond what an int holds (or not a number at all)
// goes to the nearer end, which the slider then clamps to its range.
int TruncateToSliderPos(float length)
{
    if (std::isnan(length))
        return 0;
    if (length >= 2147483648.0f)
        return INT_MAX;
    if (length <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(length);
}
} // namespace

IMPLEMENT_DYNAMIC(CTexturePropPage, CPropertyPage)

CTexturePropPage::CTexturePropPage() : CPropertyPage(IDD_TEXTURE), m_textureMapping(0), m_textureEdgeLen(0.0f) {}

CTexturePropPage::~CTexturePropPage() = default;

void CTexturePropPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_TEXTURE_MAPPING, m_textureMapping);
    DDX_Control(pDX, IDC_TEXTURE_PREVIEW, m_preview);
    DDX_Control(pDX, IDC_TEXTURE_EDGE_LEN, m_edgeLenEdit);
    DDX_Text(pDX, IDC_TEXTURE_NAME, m_textureName);
    DDV_BitmapName(pDX, m_textureName);
    DDX_Text(pDX, IDC_TEXTURE_EDGE_LEN, m_textureEdgeLen);
    DDV_MinMaxFloat(pDX, m_textureEdgeLen, 0.0f, static_cast<float>(kEdgeLenMax));
    DDX_Control(pDX, IDC_TEXTURE_EDGE_LEN_SLIDER, m_edgeLenSlider);
    DDX_Control(pDX, IDC_TEXTURE_NAME, m_textureEdit);
}

BEGIN_MESSAGE_MAP(CTexturePropPage, CPropertyPage)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_TEXTURE_EDGE_LEN_SLIDER, &CTexturePropPage::OnNMCustomdrawEdgeLenSlider)
    ON_BN_CLICKED(IDC_TEXTURE_BROWSE, &CTexturePropPage::OnBrowse)
    ON_EN_CHANGE(IDC_TEXTURE_EDGE_LEN, &CTexturePropPage::OnEnChangeEdgeLen)
    ON_EN_UPDATE(IDC_TEXTURE_NAME, &CTexturePropPage::UpdatePreview)
END_MESSAGE_MAP()

BOOL CTexturePropPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_edgeLenSlider.SendMessage(TBM_SETRANGEMIN, FALSE, 0);
    m_edgeLenSlider.SendMessage(TBM_SETRANGEMAX, FALSE, kEdgeLenMax);
    m_edgeLenSlider.SendMessage(TBM_SETPOS, TRUE, TruncateToSliderPos(m_textureEdgeLen));
    UpdatePreview();
    return TRUE;
}

void CTexturePropPage::UpdatePreview() { ShowBitmapPreview(m_textureEdit, m_preview, kTextureShape, kWrongShape); }

void CTexturePropPage::OnBrowse() { BrowseForBitmap(*this, m_textureEdit); }

// Whenever the slider draws, its edit shows its position.
void CTexturePropPage::OnNMCustomdrawEdgeLenSlider(NMHDR* /*pNMHDR*/, LRESULT* pResult)
{
    const auto position = static_cast<int>(m_edgeLenSlider.SendMessage(TBM_GETPOS));
    SetDlgItemInt(IDC_TEXTURE_EDGE_LEN, static_cast<UINT>(position), TRUE);
    *pResult = CDRF_DODEFAULT;
}

void CTexturePropPage::OnEnChangeEdgeLen()
{
    const int value = static_cast<int>(GetDlgItemInt(IDC_TEXTURE_EDGE_LEN, nullptr, TRUE));
    m_edgeLenSlider.SendMessage(TBM_SETPOS, TRUE, value);
}
