// The General tab's exchange, its preview and the coupling of the two culling boxes.
#include "pages/map_prop_page.h"

#include <climits>

#include "bitmap/load_bitmap.h"
#include "bitmap/preview.h"
#include "res/resource.h"

namespace {
constexpr const char* kWrongShape = "map has to be 8 bit grayscale, square and of size 2**n+1";
} // namespace

IMPLEMENT_DYNAMIC(MapPropPage, CPropertyPage)

MapPropPage::MapPropPage()
    : CPropertyPage(IDD_GENERAL), m_fullscreen(0), m_width(0), m_height(0), m_benchmark(0), m_showCull(0),
      m_globalDetail(0.0f), m_localDetail(0.0f), m_minDetail(0), m_maxDetail(0), m_frustumCulling(0)
{
}

MapPropPage::~MapPropPage() = default;

void MapPropPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_GENERAL_FULLSCREEN, m_fullscreen);
    DDX_Text(pDX, IDC_GENERAL_WIDTH, m_width);
    DDX_Text(pDX, IDC_GENERAL_HEIGHT, m_height);
    DDX_Check(pDX, IDC_GENERAL_BENCHMARK, m_benchmark);
    DDX_Check(pDX, IDC_GENERAL_SHOW_CULL, m_showCull);
    DDX_Text(pDX, IDC_GENERAL_GLOBAL_DETAIL, m_globalDetail);
    DDX_Text(pDX, IDC_GENERAL_LOCAL_DETAIL, m_localDetail);
    DDX_Text(pDX, IDC_GENERAL_MIN_DETAIL, m_minDetail);
    DDX_Text(pDX, IDC_GENERAL_MAX_DETAIL, m_maxDetail);
    DDX_Check(pDX, IDC_GENERAL_FRUSTUM_CULLING, m_frustumCulling);
    DDX_Control(pDX, IDC_GENERAL_PREVIEW, m_preview);
    DDV_MinMaxFloat(pDX, m_globalDetail, 1.0f, 32.0f);
    DDV_MinMaxFloat(pDX, m_localDetail, 1.0f, 32.0f);
    DDV_MinMaxInt(pDX, m_minDetail, 1, 32);
    DDV_MinMaxInt(pDX, m_maxDetail, 1, 32);
    DDV_MinMaxInt(pDX, m_width, 320, INT_MAX);
    DDV_MinMaxInt(pDX, m_height, 200, INT_MAX);
    DDX_Text(pDX, IDC_GENERAL_MAP_NAME, m_mapName);
    DDV_MaxChars(pDX, m_mapName, 256);
    DDV_BitmapName(pDX, m_mapName);
    DDX_Control(pDX, IDC_GENERAL_MAP_NAME, m_mapEdit);
}

BEGIN_MESSAGE_MAP(MapPropPage, CPropertyPage)
    ON_BN_CLICKED(IDC_GENERAL_FRUSTUM_CULLING, &MapPropPage::OnBnClickedFrustumCulling)
    ON_BN_CLICKED(IDC_GENERAL_SHOW_CULL, &MapPropPage::OnBnClickedShowCull)
    ON_BN_CLICKED(IDC_GENERAL_BROWSE, &MapPropPage::OnBrowse)
    ON_EN_UPDATE(IDC_GENERAL_MAP_NAME, &MapPropPage::UpdatePreview)
END_MESSAGE_MAP()

BOOL MapPropPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    UpdatePreview();
    return TRUE;
}

void MapPropPage::UpdatePreview() { ShowBitmapPreview(m_mapEdit, m_preview, kHeightMapShape, kWrongShape); }

void MapPropPage::OnBrowse() { BrowseForBitmap(*this, m_mapEdit); }

// Culling can only be demonstrated while it is performed.
void MapPropPage::OnBnClickedFrustumCulling()
{
    if (!IsDlgButtonChecked(IDC_GENERAL_FRUSTUM_CULLING))
        CheckDlgButton(IDC_GENERAL_SHOW_CULL, 0);
}

void MapPropPage::OnBnClickedShowCull()
{
    if (IsDlgButtonChecked(IDC_GENERAL_SHOW_CULL))
        CheckDlgButton(IDC_GENERAL_FRUSTUM_CULLING, 1);
}
