#pragma once
// Changing or removing the crop of a panel without moving the pixels that stay
// visible: the panel's origin is shifted so that the centre of its source image keeps
// its canvas position, and every annotation of the panel is clipped to the new crop.

#include "core/model/Panel.h"

#include <optional>

namespace vorlix {

// A copy of `panel` with `crop` (image pixels; nothing removes the crop). The crop is
// standardised and expanded outwards to whole pixels; one that covers exactly the whole
// image is stored as no crop, so both are one state. A null or non-finite rectangle, and
// one that is empty or misses the image, also counts as no crop. Scale, orientation, removed strips and every other field stay.
Panel recropped(const Panel& panel, std::optional<Rect> crop);

} // namespace vorlix
