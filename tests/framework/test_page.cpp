// The test page's message map.
#include "tests/framework/test_page.h"

namespace testpage {

BEGIN_MESSAGE_MAP(TestPage, CPropertyPage)
    ON_EN_UPDATE(kNumber, &TestPage::OnNumberUpdate)
    ON_EN_CHANGE(kNumber, &TestPage::OnNumberChange)
    ON_EN_UPDATE(kName, &TestPage::OnNameUpdate)
    ON_EN_CHANGE(kKey, &TestPage::OnKeyChange)
    ON_EN_CHANGE(kReal, &TestPage::OnRealChange)
    ON_BN_CLICKED(kBox, &TestPage::OnBoxClicked)
    ON_BN_CLICKED(kButton, &TestPage::OnButtonClicked)
    ON_NOTIFY(NM_CUSTOMDRAW, kSlider, &TestPage::OnSliderDraw)
END_MESSAGE_MAP()

} // namespace testpage
