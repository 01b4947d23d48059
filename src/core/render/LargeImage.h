#pragma once
// Memory for big pictures (exports, blurred regions, their scratch planes).
//
// A fresh bitmap of tens of megabytes from the ordinary allocator is mapped page by
// page on first touch: one fault per 4 KiB, which on a virtual machine costs more than
// drawing the picture. These blocks are mapped on their own and marked for transparent
// huge pages, so first touch faults once per 2 MiB. The memory goes back to the system
// as soon as the last image sharing it is gone; nothing is kept between calls.

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vorlix {

// An uninitialised image of the given size and format, whose pixels live in a huge-page
// block when they are big enough to profit (small ones are ordinary QImages). Rows are
// packed (bytesPerLine is width times the pixel size, rounded up to 4 bytes). Null when
// the size is invalid or the memory cannot be had. Copies share the block like any
// QImage; writing to a shared copy detaches it as usual.
QImage largeImage(int width, int height, QImage::Format format);

struct LargeBlockRelease {
    std::size_t bytes = 0;
    void operator()(std::uint8_t* block) const;
};
using LargeBlock = std::unique_ptr<std::uint8_t[], LargeBlockRelease>;

// `bytes` uninitialised bytes of scratch memory, on huge pages when big; empty when the
// memory cannot be had.
LargeBlock largeBlock(std::size_t bytes);

} // namespace vorlix
