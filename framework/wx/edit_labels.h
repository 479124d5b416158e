// Which static text labels an edit of a dialog template: the name screen readers and UI tests
// know the edit by.
#pragma once

#include <cstddef>
#include <string>

#include "framework/core/dialog_template.h"

namespace fw::wxui {

// The caption of the label of the control at `index`: the nearest static text to its left on
// the same line, else a static text standing just before it in template order; "" if neither.
std::string LabelFor(const DialogTemplate& tmpl, std::size_t index);

} // namespace fw::wxui
