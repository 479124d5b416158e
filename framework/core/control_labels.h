// Which static text labels a control of a dialog template: the name screen readers and UI tests
// know the control by, on every backend.
#pragma once

#include <cstddef>
#include <string>

#include "framework/core/dialog_template.h"

namespace fw {

// The caption of the label of the control at `index`: the nearest static text to its left on
// the same line; else a static text standing just before it in template order; else the static
// text just above it that starts where it starts (a slider under its caption); "" if none.
// Templates often list a label after its control, so the place on the page decides first.
std::string LabelFor(const DialogTemplate& tmpl, std::size_t index);

// What a screen reader calls the control at `index`: an edit or a slider its label, a check box
// or a push button its own caption; "" for the rest (texts, pictures, group boxes name
// themselves).
std::string AccessibleNameFor(const DialogTemplate& tmpl, std::size_t index);

} // namespace fw
