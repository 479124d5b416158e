// The program's icon for desktops that take a window's icon from the program itself: PNG
// images drawn at build time from the same artwork as the Windows icon (tools/make_icon).
#pragma once

#include <span>

namespace fw {

struct IconImage {
    int size; // pixels on a side
    std::span<const unsigned char> png;
};

// Every size the icon is drawn in, smallest first. Defined by the generated icon table, which
// the Linux build links into the program.
std::span<const IconImage> ProgramIconImages();

} // namespace fw
