#pragma once
// Whether a fixed capture size can be taken on the connected screens, and the Italian
// problem text the size form shows when it cannot. Screens are counted in device pixels:
// a screen's logical size times its scale, each side rounded to the nearest integer.

#include "core/formats/CaptureSize.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace vorlix {

struct ScreenPixels {
    std::int64_t width = 0;
    std::int64_t height = 0;

    bool operator==(const ScreenPixels&) const = default;

    // A screen of `width` × `height` logical pixels at `scale` device pixels per logical pixel.
    static ScreenPixels of(double width, double height, double scale);
};

struct CaptureSizeCheck {
    std::vector<ScreenPixels> screens; // in the system's order

    bool operator==(const CaptureSizeCheck&) const = default;

    // The screens connected now. Main thread only.
    static CaptureSizeCheck ofConnectedScreens();

    // A ratio fits any screen; a pixel size one no larger than it. Nothing fits no screen.
    bool fitsSomeScreen(const CaptureSize& size) const;
    // Why the size cannot be captured, in the words the form shows; nothing when it can.
    std::optional<QString> problem(const CaptureSize& size) const;
};

// The size against the screens connected now.
bool fitsSomeScreen(const CaptureSize& size);

} // namespace vorlix
