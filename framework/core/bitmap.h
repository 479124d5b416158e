// Bitmaps of the framework: the GDI objects the pages and the preview hand around, and the
// decoded picture a backend draws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/core/wintypes.h"

// A bitmap object; opaque outside bitmap.cpp.
struct fw_bitmap_object;
using HGDIOBJ = void*;
using HBITMAP = fw_bitmap_object*;

namespace fw {

struct Size {
    int width = 0;
    int height = 0;
};

// A decoded picture. A picture control shows its bitmap centred and clipped, so a bitmap made
// for display may keep only the centred window of its source that a control can show.
struct Image {
    int width = 0; // pixels kept
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, rows top-down, width * height
    int sourceWidth = 0;               // the whole picture's size
    int sourceHeight = 0;
};

// Makes a bitmap object owning the image. An image whose pixel count does not match its size
// is refused (nullptr).
HBITMAP CreateBitmapFromImage(Image image);
// The picture a backend draws; nullptr for a null handle or one that is not a live bitmap.
const Image* GetBitmapImage(HBITMAP bitmap);
// The program's bitmap resource (the fallback preview, 1007), a fresh bitmap on each call;
// nullptr when there is no such resource or its bytes do not decode.
HBITMAP LoadBitmapResource(int id);
// How many bitmap objects exist; lets tests see that nothing leaks.
std::size_t LiveBitmapCount();

} // namespace fw

class CGdiObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    // Like the framework's own wrappers, a wrapper deletes the object attached to it when it
    // dies; detach first to keep the object.
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    // The wrapper of a bitmap handle; it lives as long as the bitmap and must not be deleted
    // by the caller. nullptr for null or for a handle that is not a live bitmap.
    static CGdiObject* FromHandle(HGDIOBJ handle);

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    // Deletes the attached object and detaches it.
    BOOL DeleteObject();
};

class CBitmap : public CGdiObject {
public:
    static CBitmap* FromHandle(HBITMAP handle);
    // Loads the program's bitmap resource into this wrapper (it must hold no object yet).
    BOOL LoadBitmap(UINT id);
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

// Frees a bitmap made by this layer. FALSE for null, for an unknown handle and for one already
// freed; freeing twice is therefore harmless.
BOOL DeleteObject(HGDIOBJ object);
