#pragma once

#include <QRect>
#include <QtGlobal>
#include <cmath>
#include <limits>

#include "errors/failure.h"

namespace platform {

// Positions and sizes are kept in twips (1/1440 inch): 15 twips to a pixel at 96 dpi. Qt's
// device-independent pixels are 96-dpi pixels, and Qt scales them on high-DPI screens.
inline constexpr int kTwipsPerPixel = 15;

// Throws errors::Failure (Overflow) for a value no pixel coordinate can hold.
inline int TwipsToPixels(double twips) {
    const double pixels = std::round(twips / kTwipsPerPixel);
    if (!(std::fabs(pixels) <= std::numeric_limits<int>::max())) {
        throw errors::Failure(errors::ErrorNumber::Overflow);
    }
    return static_cast<int>(pixels);
}
inline float PixelsToTwips(int pixels) {
    return static_cast<float>(pixels * kTwipsPerPixel);
}

inline QRect TwipsToPixels(float left, float top, float width, float height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

}  // namespace platform
