// The OpenGL tab: the extensions the engine uses and its projection.
#pragma once

#include "framework/core/propsheet.h"

class PropPageOpenGL : public CPropertyPage {
    DECLARE_DYNAMIC(PropPageOpenGL)
public:
    PropPageOpenGL();
    ~PropPageOpenGL() override;

    int m_useVertexArray;
    int m_useCompiledVertexArray;
    int m_useMultiDraw;
    int m_useArbExt;
    float m_fieldOfView;
    float m_fovAspect;
    float m_clipNear;
    float m_clipFar;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
