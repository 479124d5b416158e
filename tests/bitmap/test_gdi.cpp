// Bitmap objects: handles, their wrappers, freeing, and bitmaps made from DIB descriptions.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/core/bitmap.h"
#include "framework/core/dib.h"
#include "tests/bitmap/bmp_builder.h"

using namespace bmptest;

namespace {

fw::Image Solid(int width, int height, std::uint32_t colour)
{
    fw::Image image;
    image.width = image.sourceWidth = width;
    image.height = image.sourceHeight = height;
    image.pixels.assign(static_cast<std::size_t>(width * height), colour);
    return image;
}

// The fallback picture's layout: a 40-byte header, 16 colours, 48 x 48 at 4 bits.
Bytes PackedFallbackLike()
{
    Bmp b;
    b.width = b.height = 48;
    b.bitCount = 4;
    for (int i = 0; i < 16; ++i)
        b.palette.push_back(i == 15 ? 0xFFFFFF : static_cast<std::uint32_t>(i * 0x080808));
    b.pixels = PackRows(48, 48, 4, [](int x, int y) { return (x / 6 + y / 6) % 2 == 0 ? 15u : 0u; });
    Bytes file = b.Build();
    return Bytes(file.begin() + 14, file.end());
}

} // namespace

TEST(BitmapObjects, WrapperLivesWithItsBitmap)
{
    const std::size_t before = fw::LiveBitmapCount();
    HBITMAP bitmap = fw::CreateBitmapFromImage(Solid(3, 2, 0x123456));
    ASSERT_NE(bitmap, nullptr);
    CGdiObject* wrapper = CGdiObject::FromHandle(bitmap);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->m_hObject, bitmap);
    EXPECT_EQ(CGdiObject::FromHandle(bitmap), wrapper); // no new wrapper per call
    EXPECT_EQ(static_cast<CGdiObject*>(CBitmap::FromHandle(bitmap)), wrapper);
    ASSERT_NE(fw::GetBitmapImage(bitmap), nullptr);
    EXPECT_EQ(fw::GetBitmapImage(bitmap)->pixels, std::vector<std::uint32_t>(6, 0x123456));
    EXPECT_EQ(fw::LiveBitmapCount(), before + 1);

    EXPECT_EQ(DeleteObject(bitmap), TRUE);
    EXPECT_EQ(fw::LiveBitmapCount(), before);
    EXPECT_EQ(DeleteObject(bitmap), FALSE); // freed twice: refused, not a double free
    EXPECT_EQ(fw::GetBitmapImage(bitmap), nullptr);
    EXPECT_EQ(CGdiObject::FromHandle(bitmap), nullptr);
}

TEST(BitmapObjects, NullForeignAndInconsistentHandles)
{
    int notABitmap = 0;
    EXPECT_EQ(CGdiObject::FromHandle(nullptr), nullptr);
    EXPECT_EQ(CGdiObject::FromHandle(&notABitmap), nullptr);
    EXPECT_EQ(DeleteObject(nullptr), FALSE);
    EXPECT_EQ(DeleteObject(&notABitmap), FALSE);
    EXPECT_EQ(fw::GetBitmapImage(nullptr), nullptr);

    fw::Image wrong = Solid(4, 4, 0);
    wrong.pixels.pop_back();
    EXPECT_EQ(fw::CreateBitmapFromImage(wrong), nullptr);
}

TEST(BitmapObjects, OwningWrapperFreesOnDestruction)
{
    const std::size_t before = fw::LiveBitmapCount();
    {
        CBitmap owner;
        EXPECT_TRUE(owner.Attach(fw::CreateBitmapFromImage(Solid(1, 1, 0))));
        EXPECT_EQ(fw::LiveBitmapCount(), before + 1);
    }
    EXPECT_EQ(fw::LiveBitmapCount(), before);

    // Deleting through the bitmap's own wrapper ends wrapper and bitmap together.
    HBITMAP bitmap = fw::CreateBitmapFromImage(Solid(1, 1, 0));
    EXPECT_TRUE(CGdiObject::FromHandle(bitmap)->DeleteObject());
    EXPECT_EQ(fw::LiveBitmapCount(), before);

    CBitmap kept;
    kept.Attach(fw::CreateBitmapFromImage(Solid(1, 1, 0)));
    HGDIOBJ handle = kept.Detach();
    EXPECT_EQ(fw::LiveBitmapCount(), before + 1);
    EXPECT_TRUE(DeleteObject(handle));
}

TEST(DibConversion, PackedAndSeparateDescriptions)
{
    const Bytes dib = PackedFallbackLike();
    ASSERT_EQ(dib.size(), 1256u);
    HBITMAP packed = fw::CreateBitmapFromPackedDib(dib, {4096, 4096});
    ASSERT_NE(packed, nullptr);
    const fw::Image* image = fw::GetBitmapImage(packed);
    ASSERT_EQ(image->width, 48);
    ASSERT_EQ(image->height, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            ASSERT_EQ(image->pixels[static_cast<std::size_t>(y * 48 + x)], (x / 6 + y / 6) % 2 == 0 ? 0xFFFFFFu : 0u);

    const std::span<const BYTE> all(dib);
    HBITMAP separate = fw::CreateBitmapFromDib(all.first(104), all.subspan(104), {10, 10});
    ASSERT_NE(separate, nullptr);
    EXPECT_EQ(fw::GetBitmapImage(separate)->width, 10);
    EXPECT_EQ(fw::GetBitmapImage(separate)->pixels[0], image->pixels[19 * 48 + 19]);
    DeleteObject(packed);
    DeleteObject(separate);

    // Cut anywhere, a description makes nothing.
    for (std::size_t n = 0; n < dib.size(); ++n)
        ASSERT_EQ(fw::CreateBitmapFromPackedDib(all.first(n), {4096, 4096}), nullptr) << n;
    EXPECT_EQ(fw::CreateBitmapFromDib(all.first(103), all.subspan(104), {10, 10}), nullptr);
}

TEST(BitmapObjects, FallbackResourceIsAFreshBlackOnWhitePictureEachTime)
{
    HBITMAP a = fw::LoadBitmapResource(1007);
    HBITMAP b = fw::LoadBitmapResource(1007);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    const fw::Image* image = fw::GetBitmapImage(a);
    ASSERT_EQ(image->width, 48);
    ASSERT_EQ(image->height, 48);
    const auto white = std::count(image->pixels.begin(), image->pixels.end(), 0xFFFFFFu);
    const auto black = std::count(image->pixels.begin(), image->pixels.end(), 0u);
    EXPECT_EQ(white + black, 48 * 48);
    EXPECT_GT(white, black) << "black letters on a white ground";
    EXPECT_GT(black, 0);
    EXPECT_EQ(image->pixels[0], 0xFFFFFFu);
    DeleteObject(a);
    DeleteObject(b);

    EXPECT_EQ(fw::LoadBitmapResource(9999), nullptr);
    CBitmap fallback;
    EXPECT_TRUE(fallback.LoadBitmap(1007));
    EXPECT_NE(fw::GetBitmapImage(fallback), nullptr);
    EXPECT_FALSE(fallback.LoadBitmap(1007)) << "a wrapper holds one object";
}
