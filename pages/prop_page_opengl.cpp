// The OpenGL tab's exchange: four extension switches and the projection, two of it range-checked.
#include "pages/prop_page_opengl.h"

#include "res/resource.h"

IMPLEMENT_DYNAMIC(PropPageOpenGL, CPropertyPage)

PropPageOpenGL::PropPageOpenGL()
    : CPropertyPage(IDD_OPENGL), m_useVertexArray(0), m_useCompiledVertexArray(0), m_useMultiDraw(0), m_useArbExt(0),
      m_fieldOfView(0.0f), m_fovAspect(0.0f), m_clipNear(0.0f), m_clipFar(0.0f)
{
}

PropPageOpenGL::~PropPageOpenGL() = default;

void PropPageOpenGL::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_OPENGL_VERTEX_ARRAY, m_useVertexArray);
    DDX_Check(pDX, IDC_OPENGL_COMPILED_VERTEX_ARRAY, m_useCompiledVertexArray);
    DDX_Check(pDX, IDC_OPENGL_MULTI_DRAW, m_useMultiDraw);
    DDX_Check(pDX, IDC_OPENGL_ARB_EXT, m_useArbExt);
    DDX_Text(pDX, IDC_OPENGL_FIELD_OF_VIEW, m_fieldOfView);
    DDX_Text(pDX, IDC_OPENGL_FOV_ASPECT, m_fovAspect);
    DDX_Text(pDX, IDC_OPENGL_CLIP_NEAR, m_clipNear);
    DDX_Text(pDX, IDC_OPENGL_CLIP_FAR, m_clipFar);
    // The aspect ratio and the near distance take any number.
    DDV_MinMaxFloat(pDX, m_fieldOfView, 15.0f, 160.0f);
    DDV_MinMaxFloat(pDX, m_clipFar, 10.0f, 5000.0f);
}

BEGIN_MESSAGE_MAP(PropPageOpenGL, CPropertyPage)
END_MESSAGE_MAP()
