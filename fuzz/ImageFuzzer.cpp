// Image files handed to the image store: every decoding entry point takes any bytes,
// gives a null image or nothing for what it cannot read, and refuses pictures too
// large to hold instead of allocating them.

#include "FuzzSupport.h"

#include "core/imaging/ImageCoding.h"

#include <cstddef>
#include <cstdint>

using namespace vorlix;

namespace {
// Decoding may cost up to ImageCoding::maximumPixelsPerByte pixels a byte of input: 2 KiB
// keeps an input below a second and still holds every header and a few pixel blocks.
constexpr std::size_t maximumInput = 2048;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > maximumInput)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QImage image = ImageCoding::decode(bytes);
    if (!image.isNull() && image.format() != QImage::Format_RGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied)
        fuzz::fail("a decoded image is not in a drawable format");
    const QImage thumb = ImageCoding::thumbnail(bytes, 64, true);
    if (!thumb.isNull() && std::max(thumb.width(), thumb.height()) > 64)
        fuzz::fail("a thumbnail is larger than asked");
    (void)ImageCoding::description(bytes);
    (void)ImageCoding::dotsPerInch(bytes);
    return 0;
}
