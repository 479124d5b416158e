// Which static text labels a control of a dialog template: the name screen readers and UI tests
// know the control by, on every backend.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/dialog_template.h"

namespace fw {

// The label of the control at `index`: the nearest static text to its left on the same line;
// else a static text standing just before it in template order; else the static text just above
// it that starts where it starts (a slider under its caption); nullopt if none. Templates often
// list a label after its control, so the place on the page decides first.
std::optional<std::size_t> LabelIndexFor(const DialogTemplate& tmpl, std::size_t index);

// Its caption; "" if none.
std::string LabelFor(const DialogTemplate& tmpl, std::size_t index);

// For every control, the control it labels (an index), or -1: the static text whose access key
// reaches that control and which is read right before it. Each edit takes its label first; a
// slider takes its label only when no edit on the label's line has.
std::vector<int> LabelTargets(const DialogTemplate& tmpl);

// What a screen reader calls the control at `index`: an edit or a slider its label, a check box
// or a push button its own caption; "" for the rest (texts, pictures, group boxes name
// themselves).
std::string AccessibleNameFor(const DialogTemplate& tmpl, std::size_t index);

} // namespace fw
