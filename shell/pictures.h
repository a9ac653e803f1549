#pragma once
// The form's pictures at the screen's scale. The lights and the badge are
// 16-colour pictures drawn for 96 DPI; the form around them grows with the
// system font, so at a higher DPI each is enlarged with it, nearest
// neighbour, never blurred: a light in proportion, its frame whole pixels;
// the badge, drawn pixel by pixel, by a whole factor. Each keeps its place
// at its control's top left, and its size beside its text.

#include "unique_handle.h"

#include <windows.h>

namespace plovik {

// The screen's dots per inch, as the program sees them (96 at 100 %).
int ScreenDpi();

// A light at `dpi`: a square inside a one-pixel frame, scaled in proportion
// (17 px at 96 DPI, 21 at 120, 26 at 144, 34 at 192). The frame becomes a
// whole number of pixels, the same on every side; the inside is stretched.
win32::UniqueBitmap LoadLightPicture(UINT id, int dpi);

// A picture drawn pixel by pixel (the badge), each pixel made a square of
// the whole number of pixels nearest to dpi / 96.
win32::UniqueBitmap LoadPixelPicture(UINT id, int dpi);

// Both pictures of a light, at one scale.
struct LightPictures {
    win32::UniqueBitmap on;
    win32::UniqueBitmap off;
};

// The form's pictures, at the screen's scale.
struct FormPictures {
    LightPictures lights;
    win32::UniqueBitmap badge;

    // Makes those not made yet: a form made anew keeps its pictures.
    void Load();
};

} // namespace plovik
