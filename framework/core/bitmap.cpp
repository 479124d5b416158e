// Bitmap objects: each owns its picture and embeds the wrapper FromHandle returns, so no
// temporary wrapper is ever made or leaked. Live handles are registered, which makes a stale or
// foreign handle harmless to look up or free.
#include "framework/core/bitmap.h"

#include <mutex>
#include <unordered_set>
#include <utility>

#include "framework/core/dialog_template.h"
#include "framework/core/dib.h"

struct fw_bitmap_object {
    CBitmap wrapper;
    fw::Image image;
};

namespace {

// The fallback and other resources are the program's own; this bounds them all the same.
constexpr fw::Size kResourceWindow{4096, 4096};

struct Registry {
    std::mutex mutex;
    std::unordered_set<const void*> live;
};

Registry& TheRegistry()
{
    // Never destroyed: a wrapper with static lifetime may free its bitmap after other statics die.
    static Registry* registry = new Registry;
    return *registry;
}

fw_bitmap_object* FindLive(const void* handle)
{
    if (handle == nullptr)
        return nullptr;
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (r.live.count(handle) == 0)
        return nullptr;
    return static_cast<fw_bitmap_object*>(const_cast<void*>(handle));
}

} // namespace

namespace fw {

HBITMAP CreateBitmapFromImage(Image image)
{
    if (image.width < 0 || image.height < 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
        return nullptr;
    auto* object = new fw_bitmap_object;
    object->image = std::move(image);
    object->wrapper.m_hObject = object;
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.live.insert(object);
    return object;
}

const Image* GetBitmapImage(HBITMAP bitmap)
{
    fw_bitmap_object* object = FindLive(bitmap);
    return object != nullptr ? &object->image : nullptr;
}

HBITMAP LoadBitmapResource(int id)
{
    const std::span<const BYTE> bytes = FindBitmapResource(id);
    if (bytes.empty())
        return nullptr;
    return CreateBitmapFromPackedDib(bytes, kResourceWindow);
}

std::size_t LiveBitmapCount()
{
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    return r.live.size();
}

} // namespace fw

BOOL DeleteObject(HGDIOBJ object)
{
    fw_bitmap_object* bitmap = nullptr;
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        if (object == nullptr || r.live.erase(object) == 0)
            return FALSE;
        bitmap = static_cast<fw_bitmap_object*>(object);
    }
    // The embedded wrapper must not delete its own object again when it dies.
    bitmap->wrapper.m_hObject = nullptr;
    delete bitmap;
    return TRUE;
}

CGdiObject::~CGdiObject()
{
    if (m_hObject != nullptr)
        ::DeleteObject(m_hObject);
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle)
{
    fw_bitmap_object* object = FindLive(handle);
    return object != nullptr ? &object->wrapper : nullptr;
}

BOOL CGdiObject::Attach(HGDIOBJ handle)
{
    if (m_hObject != nullptr || handle == nullptr)
        return FALSE;
    m_hObject = handle;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ handle = m_hObject;
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject()
{
    // Detach first: when this is a bitmap's own wrapper, deleting the bitmap ends this object.
    HGDIOBJ handle = Detach();
    return handle != nullptr ? ::DeleteObject(handle) : FALSE;
}

CBitmap* CBitmap::FromHandle(HBITMAP handle)
{
    fw_bitmap_object* object = FindLive(handle);
    return object != nullptr ? &object->wrapper : nullptr;
}

BOOL CBitmap::LoadBitmap(UINT id)
{
    if (m_hObject != nullptr || id > static_cast<UINT>(INT32_MAX))
        return FALSE;
    HBITMAP bitmap = fw::LoadBitmapResource(static_cast<int>(id));
    if (bitmap == nullptr)
        return FALSE;
    m_hObject = bitmap;
    return TRUE;
}
