#include "core/render/LargeImage.h"

#include <sys/mman.h>

#include <cstdlib>
#include <limits>
#include <new>

namespace vorlix {

namespace {

constexpr std::size_t hugePage = std::size_t{2} << 20;
// Below this a block is served by the ordinary allocator, which recycles small blocks
// without faulting at all.
constexpr std::size_t smallestLargeBlock = 4 * hugePage;

bool isLarge(std::size_t bytes) { return bytes >= smallestLargeBlock; }

std::size_t mappedLength(std::size_t bytes) { return (bytes + hugePage - 1) / hugePage * hugePage; }

// A mapping of `bytes` (rounded up to whole huge pages) starting on a huge-page
// boundary, so that every part of it can be backed by a huge page.
std::uint8_t* mapHugePageBlock(std::size_t bytes)
{
    const std::size_t length = mappedLength(bytes);
    void* raw = mmap(nullptr, length + hugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    auto* const start = static_cast<std::uint8_t*>(raw);
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t lead = (hugePage - address % hugePage) % hugePage;
    if (lead > 0)
        munmap(start, lead);
    munmap(start + lead + length, hugePage - lead);
    // Advice only: where huge pages are off the block simply faults in small pages.
    madvise(start + lead, length, MADV_HUGEPAGE);
    return start + lead;
}

void unmapHugePageBlock(std::uint8_t* block, std::size_t bytes) { munmap(block, mappedLength(bytes)); }

struct ImageBlock {
    std::uint8_t* data;
    std::size_t bytes;
};

void releaseImageBlock(void* info)
{
    const auto* block = static_cast<ImageBlock*>(info);
    unmapHugePageBlock(block->data, block->bytes);
    delete block;
}

} // namespace

void LargeBlockRelease::operator()(std::uint8_t* block) const
{
    if (isLarge(bytes))
        unmapHugePageBlock(block, bytes);
    else
        delete[] block;
}

LargeBlock largeBlock(std::size_t bytes)
{
    if (!isLarge(bytes))
        return LargeBlock(new (std::nothrow) std::uint8_t[bytes], LargeBlockRelease{bytes});
    return LargeBlock(mapHugePageBlock(bytes), LargeBlockRelease{bytes});
}

QImage largeImage(int width, int height, QImage::Format format)
{
    if (width <= 0 || height <= 0 || format == QImage::Format_Invalid)
        return {};
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    // Rows padded to 4 bytes, as QImage lays them out itself.
    const auto stride = (static_cast<std::size_t>(width) * static_cast<std::size_t>(depth) + 31) / 32 * 4;
    if (stride > static_cast<std::size_t>(std::numeric_limits<qsizetype>::max()) / static_cast<std::size_t>(height))
        return {};
    const std::size_t bytes = stride * static_cast<std::size_t>(height);
    if (!isLarge(bytes))
        return QImage(width, height, format);
    std::uint8_t* data = mapHugePageBlock(bytes);
    if (!data)
        return {};
    // QImage frees the block through the cleanup function when its last copy goes.
    return QImage(data, width, height, static_cast<qsizetype>(stride), format, releaseImageBlock,
                  new ImageBlock{data, bytes});
}

} // namespace vorlix
