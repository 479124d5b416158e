// Reading order from a template's geometry: labels joined to their controls, group boxes to what
// they enclose, then lines, blocks and columns.
#include "framework/core/reading_order.h"

#include <algorithm>
#include <utility>

#include "framework/core/control_labels.h"

namespace fw {
namespace {

// Space between lines of at least a line's height (8 units of the dialog font) separates
// blocks, each read by itself.
constexpr int kParagraph = 8;
// A control may run this far over the edge of the group box around it.
constexpr int kOverlap = 2;

struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Height() const { return bottom - top; }
};

Box BoxOf(const ControlTemplate& control)
{
    return {control.x, control.y, control.x + control.cx, control.y + control.cy};
}

Box Union(const Box& a, const Box& b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// What is read as one: a label with its control, a group box with what it encloses, or a
// control alone.
struct Unit {
    std::vector<std::size_t> members; // read first, in this order
    std::vector<Unit> inside;         // a group box's contents, read after it
    Box box;
};

using Line = std::vector<Unit>;

void Read(std::vector<Unit> units, std::vector<std::size_t>& out);

void Emit(const Unit& unit, std::vector<std::size_t>& out)
{
    out.insert(out.end(), unit.members.begin(), unit.members.end());
    Read(unit.inside, out);
}

std::vector<Unit> UnitsOf(const DialogTemplate& tmpl)
{
    const std::size_t count = tmpl.controls.size();
    const std::vector<int> targets = LabelTargets(tmpl);
    std::vector<int> labelOf(count, -1);
    for (std::size_t i = 0; i < count; ++i)
        if (targets[i] >= 0)
            labelOf[static_cast<std::size_t>(targets[i])] = static_cast<int>(i);

    std::vector<Unit> units;
    std::vector<Unit> groups;
    for (std::size_t i = 0; i < count; ++i) {
        if (targets[i] >= 0)
            continue; // read with its control
        Unit unit;
        unit.box = BoxOf(tmpl.controls[i]);
        if (labelOf[i] >= 0) {
            const auto label = static_cast<std::size_t>(labelOf[i]);
            unit.members.push_back(label);
            unit.box = Union(unit.box, BoxOf(tmpl.controls[label]));
        }
        unit.members.push_back(i);
        (tmpl.controls[i].kind == ControlKind::GroupBox ? groups : units).push_back(std::move(unit));
    }
    // The smallest box first, so that a box inside another goes there with its contents.
    std::sort(groups.begin(), groups.end(), [](const Unit& a, const Unit& b) {
        return static_cast<long>(a.box.right - a.box.left) * a.box.Height() <
               static_cast<long>(b.box.right - b.box.left) * b.box.Height();
    });
    for (Unit& group : groups) {
        const Box& g = group.box;
        const auto outside = [&g](const Unit& u) {
            return u.box.left < g.left - kOverlap || u.box.right > g.right + kOverlap || u.box.top < g.top - kOverlap ||
                   u.box.bottom > g.bottom + kOverlap;
        };
        const auto enclosed = std::stable_partition(units.begin(), units.end(), outside);
        group.inside.assign(std::make_move_iterator(enclosed), std::make_move_iterator(units.end()));
        units.erase(enclosed, units.end());
        units.push_back(std::move(group));
    }
    return units;
}

// Units that share a line: each overlaps the line by at least half of the lower of the two
// heights (check boxes stacked a unit apart do not).
std::vector<Line> LinesOf(std::vector<Unit> units)
{
    std::stable_sort(units.begin(), units.end(), [](const Unit& a, const Unit& b) {
        return a.box.top != b.box.top ? a.box.top < b.box.top : a.box.left < b.box.left;
    });
    std::vector<Line> lines;
    Box span;
    for (Unit& unit : units) {
        const int overlap =
            lines.empty() ? 0 : std::min(span.bottom, unit.box.bottom) - std::max(span.top, unit.box.top);
        if (overlap > 0 && 2 * overlap >= std::min(span.Height(), unit.box.Height())) {
            span = Union(span, unit.box);
            lines.back().push_back(std::move(unit));
        } else {
            span = unit.box;
            lines.push_back({});
            lines.back().push_back(std::move(unit));
        }
    }
    for (Line& line : lines)
        std::stable_sort(line.begin(), line.end(),
                         [](const Unit& a, const Unit& b) { return a.box.left < b.box.left; });
    return lines;
}

std::vector<Unit> Flatten(std::vector<Line>::iterator from, std::vector<Line>::iterator to)
{
    std::vector<Unit> units;
    for (auto line = from; line != to; ++line)
        for (Unit& unit : *line)
            units.push_back(std::move(unit));
    return units;
}

// A gutter through lines [first, last]: the widest gap [left, right) between the units' columns
// that has units on two lines or more on either side; left is -1 when there is none.
struct Gutter {
    int left = -1;
    int right = -1;
};

Gutter GutterOf(const std::vector<Line>& lines, std::size_t first, std::size_t last)
{
    std::vector<std::pair<int, int>> spans;
    for (std::size_t i = first; i <= last; ++i)
        for (const Unit& unit : lines[i])
            spans.emplace_back(unit.box.left, unit.box.right);
    std::sort(spans.begin(), spans.end());
    Gutter best;
    int reach = spans.front().second;
    for (const auto& [left, right] : spans) {
        if (left > reach) {
            const auto linesWith = [&](auto side) {
                int count = 0;
                for (std::size_t i = first; i <= last; ++i)
                    count += std::any_of(lines[i].begin(), lines[i].end(), side) ? 1 : 0;
                return count;
            };
            const int a = reach;
            const int b = left;
            const bool columns = linesWith([a](const Unit& u) { return u.box.right <= a; }) >= 2 &&
                                 linesWith([b](const Unit& u) { return u.box.left >= b; }) >= 2;
            if (columns && (best.left < 0 || b - a > best.right - best.left))
                best = {a, b};
        }
        reach = std::max(reach, right);
    }
    return best;
}

void ReadBlock(std::vector<Line> lines, std::vector<std::size_t>& out)
{
    // The longest run of lines that stands in columns (the first such when two are as long).
    std::size_t runFirst = 0;
    std::size_t runLast = 0;
    Gutter runGutter;
    for (std::size_t first = 0; first < lines.size(); ++first) {
        for (std::size_t last = first + 1; last < lines.size(); ++last) {
            const Gutter gutter = GutterOf(lines, first, last);
            if (gutter.left >= 0 && (runGutter.left < 0 || last - first > runLast - runFirst)) {
                runFirst = first;
                runLast = last;
                runGutter = gutter;
            }
        }
    }
    if (runGutter.left < 0) {
        for (const Line& line : lines)
            for (const Unit& unit : line)
                Emit(unit, out);
        return;
    }
    const auto begin = lines.begin();
    Read(Flatten(begin, begin + static_cast<long>(runFirst)), out);
    std::vector<Unit> run = Flatten(begin + static_cast<long>(runFirst), begin + static_cast<long>(runLast) + 1);
    const auto right = std::stable_partition(run.begin(), run.end(),
                                             [&runGutter](const Unit& u) { return u.box.right <= runGutter.left; });
    std::vector<Unit> rightColumn(std::make_move_iterator(right), std::make_move_iterator(run.end()));
    run.erase(right, run.end());
    Read(std::move(run), out);
    Read(std::move(rightColumn), out);
    Read(Flatten(begin + static_cast<long>(runLast) + 1, lines.end()), out);
}

void Read(std::vector<Unit> units, std::vector<std::size_t>& out)
{
    if (units.empty())
        return;
    std::vector<Line> lines = LinesOf(std::move(units));
    std::vector<Line> block;
    int bottom = 0;
    for (Line& line : lines) {
        int top = line.front().box.top;
        int lineBottom = line.front().box.bottom;
        for (const Unit& unit : line) {
            top = std::min(top, unit.box.top);
            lineBottom = std::max(lineBottom, unit.box.bottom);
        }
        if (!block.empty() && top - bottom >= kParagraph) {
            ReadBlock(std::move(block), out);
            block.clear();
        }
        bottom = block.empty() ? lineBottom : std::max(bottom, lineBottom);
        block.push_back(std::move(line));
    }
    ReadBlock(std::move(block), out);
}

} // namespace

std::vector<std::size_t> ReadingOrder(const DialogTemplate& tmpl)
{
    std::vector<std::size_t> order;
    order.reserve(tmpl.controls.size());
    Read(UnitsOf(tmpl), order);
    return order;
}

} // namespace fw
