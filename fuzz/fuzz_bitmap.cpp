// Any bytes as a bitmap file's contents: the reader must give a code from 0 to 3, a bitmap
// exactly for 1 and 2 that holds no more than the window, and never read outside the input.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "bitmap/load_bitmap.h"
#include "framework/core/dib.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void LoadInto(std::span<const BYTE> bytes, fw::Size window)
{
    fw::MemoryDibSource file(bytes);
    CGdiObject* out = nullptr;
    const int code = LoadBitmapFromSource(file, &out, window);
    Check(code >= 0 && code <= 3);
    Check((code == 1 || code == 2) == (out != nullptr));
    if (out == nullptr)
        return;
    const auto bitmap = static_cast<HBITMAP>(out->m_hObject);
    const fw::Image* image = fw::GetBitmapImage(bitmap);
    Check(image != nullptr);
    Check(image->width > 0 && image->width <= window.width && image->height > 0 && image->height <= window.height);
    Check(image->pixels.size() == static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height));
    Check(image->width <= image->sourceWidth && image->height <= image->sourceHeight);
    for (std::uint32_t pixel : image->pixels)
        Check(pixel <= 0xFFFFFFu);
    Check(DeleteObject(bitmap) == TRUE);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const BYTE> bytes(data, size);
    LoadInto(bytes, {64, 64});
    LoadInto(bytes, {512, 512});
    // The same bytes after the file header, as a packed DIB (a resource's layout).
    if (size > 14) {
        HBITMAP packed = fw::CreateBitmapFromPackedDib(bytes.subspan(14), {64, 64});
        Check(packed == nullptr || fw::GetBitmapImage(packed) != nullptr);
        DeleteObject(packed);
    }
    Check(fw::LiveBitmapCount() == 0);
    return 0;
}
