// The Texture tab: the texture with its preview, texture mapping and the edge length.
#pragma once

#include "framework/core/propsheet.h"

class CTexturePropPage : public CPropertyPage {
    DECLARE_DYNAMIC(CTexturePropPage)
public:
    CTexturePropPage();
    ~CTexturePropPage() override;

    int m_textureMapping;
    CStatic m_preview;
    CEdit m_edgeLenEdit;
    CString m_textureName;
    float m_textureEdgeLen;
    CSliderCtrl m_edgeLenSlider;
    CEdit m_textureEdit;

    BOOL OnInitDialog() override;
    void UpdatePreview();
    void OnBrowse();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnNMCustomdrawEdgeLenSlider(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEnChangeEdgeLen();

    DECLARE_MESSAGE_MAP()
};
