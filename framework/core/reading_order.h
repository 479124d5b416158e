// The order in which a reader takes in the controls of a dialog template: the order Tab walks
// and screen readers read, on every backend.
#pragma once

#include <cstddef>
#include <vector>

#include "framework/core/dialog_template.h"

namespace fw {

// Every control of the template once, as indices, in reading order: top to bottom, and left to
// right on a line. Where lines stand in columns (a gutter runs down through two lines or more on
// both sides of it), a column is read down before the next; space of a line's height or more
// between lines ends such a block. Each label comes right before the control it labels
// (LabelTargets), and a group box before what it encloses. The template's own order, which is
// often the order its controls were drawn in, does not count.
std::vector<std::size_t> ReadingOrder(const DialogTemplate& tmpl);

} // namespace fw
