// The General tab: the height map with its preview, screen size, switches and detail levels.
#pragma once

#include "framework/core/propsheet.h"

class MapPropPage : public CPropertyPage {
    DECLARE_DYNAMIC(MapPropPage)
public:
    MapPropPage();
    ~MapPropPage() override;

    int m_fullscreen;
    int m_width;
    int m_height;
    int m_benchmark;
    int m_showCull;
    float m_globalDetail;
    float m_localDetail;
    int m_minDetail;
    int m_maxDetail;
    int m_frustumCulling;
    CStatic m_preview;
    CString m_mapName;
    CEdit m_mapEdit;

    BOOL OnInitDialog() override;
    void UpdatePreview();
    void OnBrowse();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnBnClickedFrustumCulling();
    void OnBnClickedShowCull();

    DECLARE_MESSAGE_MAP()
};
