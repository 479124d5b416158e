// grid2bmp: turns a text grid of '#' (black) and '.' (white) into a 4-bit Windows bitmap with
// the standard 16-colour table, so that the fallback picture can be reviewed as text.
// Usage: grid2bmp GRID.txt OUT.bmp
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tools/bmp_writer.h"

namespace {

// The platform's 16 standard colours, in palette order (r, g, b).
constexpr std::uint8_t kStandardColors[16][3] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};
constexpr std::uint8_t kBlack = 0;
constexpr std::uint8_t kWhite = 15;

bool ReadGrid(const std::string& path, const std::string& text, std::vector<std::string>& rows)
{
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        for (char c : line) {
            if (c != '#' && c != '.') {
                std::fprintf(stderr, "%s:%d: only '#' and '.' may appear in the grid\n", path.c_str(), lineNo);
                return false;
            }
        }
        if (line.empty() || (!rows.empty() && line.size() != rows.front().size())) {
            std::fprintf(stderr, "%s:%d: every row must be as long as the first (%zu)\n", path.c_str(), lineNo,
                         rows.empty() ? line.size() : rows.front().size());
            return false;
        }
        rows.push_back(line);
    }
    if (rows.empty()) {
        std::fprintf(stderr, "%s:1: the grid is empty\n", path.c_str());
        return false;
    }
    return true;
}

tools::Bytes MakeBitmap(const std::vector<std::string>& rows)
{
    const auto width = static_cast<std::uint32_t>(rows.front().size());
    const auto height = static_cast<std::uint32_t>(rows.size());
    const std::uint32_t stride = tools::RowStride(width, 4);
    const std::uint32_t pixelOffset = 14 + 40 + 16 * 4;

    tools::Bytes out;
    tools::PutFileHeader(out, pixelOffset + stride * height, pixelOffset);
    tools::PutInfoHeader(out, width, height, 4, 16);
    for (const auto& c : kStandardColors)
        tools::PutColor(out, c[0], c[1], c[2]);
    // Bottom-up: the last text row is the first row of pixels. Two pixels a byte, left in the
    // high nibble; padding pixels are white like the ground.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        tools::Bytes line(stride, static_cast<std::uint8_t>(kWhite << 4 | kWhite));
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint8_t index = (*row)[x] == '#' ? kBlack : kWhite;
            std::uint8_t& byte = line[x / 2];
            byte = (x % 2 == 0) ? static_cast<std::uint8_t>((byte & 0x0F) | index << 4)
                                : static_cast<std::uint8_t>((byte & 0xF0) | index);
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: grid2bmp GRID.txt OUT.bmp\n");
        return 2;
    }
    std::string text;
    if (!tools::ReadFile(argv[1], text)) {
        std::fprintf(stderr, "grid2bmp: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<std::string> rows;
    if (!ReadGrid(argv[1], text, rows))
        return 1;
    std::string error;
    if (!tools::WriteFileAtomically(argv[2], MakeBitmap(rows), error)) {
        std::fprintf(stderr, "grid2bmp: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
