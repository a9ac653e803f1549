#include "pictures.h"

#include "framework/afx.h"
#include "gdi_scope.h"
#include "resource.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace plovik {
namespace {

// A picture as 32-bit pixels, rows from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> data;
};

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

Pixels LoadPixels(UINT id)
{
    Pixels pixels;
    const win32::UniqueBitmap bitmap(::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id)));
    BITMAP size{};
    if (!bitmap || !::GetObjectA(bitmap.get(), sizeof size, &size))
        return pixels;
    BITMAPINFO info = TopDown32(size.bmWidth, size.bmHeight);
    pixels.data.resize(static_cast<std::size_t>(size.bmWidth) * size.bmHeight);
    const win32::WindowDc screen;
    if (::GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(size.bmHeight),
                    pixels.data.data(), &info, DIB_RGB_COLORS) == size.bmHeight) {
        pixels.width = size.bmWidth;
        pixels.height = size.bmHeight;
    }
    return pixels;
}

// A bitmap of the screen's own format, as LoadBitmap gives: no alpha, so a
// picture control shows this very bitmap rather than a copy of it.
win32::UniqueBitmap MakeBitmap(const Pixels& pixels)
{
    const win32::WindowDc screen;
    win32::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), pixels.width, pixels.height));
    BITMAPINFO info = TopDown32(pixels.width, pixels.height);
    if (bitmap && ::SetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(pixels.height),
                              pixels.data.data(), &info, DIB_RGB_COLORS) != pixels.height)
        bitmap.reset();
    return bitmap;
}

// Each target pixel takes the colour of one source pixel, the one `at` maps
// it to along each side.
template <typename Map> Pixels Scale(const Pixels& source, int width, int height, Map at)
{
    Pixels target{width, height, {}};
    target.data.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            target.data[static_cast<std::size_t>(y) * width + x] =
                source.data[static_cast<std::size_t>(at(y, height, source.height)) * source.width +
                            at(x, width, source.width)];
    return target;
}

} // namespace

int ScreenDpi()
{
    const win32::WindowDc screen;
    const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

win32::UniqueBitmap LoadLightPicture(UINT id, int dpi)
{
    const Pixels source = LoadPixels(id);
    if (source.width < 3 || source.height < 3)
        return {};
    const int frame = std::max(1, ::MulDiv(1, dpi, USER_DEFAULT_SCREEN_DPI));
    const auto side = [&](int pixels) {
        return std::max(2 * frame + 1, ::MulDiv(pixels, dpi, USER_DEFAULT_SCREEN_DPI));
    };
    // The frame's pixels, then the inside's, then the frame's again.
    return MakeBitmap(
        Scale(source, side(source.width), side(source.height), [frame](int at, int to, int from) {
            if (at < frame)
                return 0;
            if (at >= to - frame)
                return from - 1;
            return 1 + (at - frame) * (from - 2) / (to - 2 * frame);
        }));
}

win32::UniqueBitmap LoadPixelPicture(UINT id, int dpi)
{
    const Pixels source = LoadPixels(id);
    if (source.width < 1 || source.height < 1)
        return {};
    const int factor = std::max(1, (dpi + USER_DEFAULT_SCREEN_DPI / 2) / USER_DEFAULT_SCREEN_DPI);
    return MakeBitmap(Scale(source, source.width * factor, source.height * factor,
                            [factor](int at, int, int) { return at / factor; }));
}

void FormPictures::Load()
{
    const int dpi = ScreenDpi();
    if (!lights.off)
        lights.off = LoadLightPicture(IDB_LIGHT_OFF, dpi);
    if (!lights.on)
        lights.on = LoadLightPicture(IDB_LIGHT_ON, dpi);
    if (!badge)
        badge = LoadPixelPicture(IDB_BADGE, dpi);
}

} // namespace plovik
