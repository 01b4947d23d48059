// SVG path data from anywhere (UTF-8): parsing always ends, takes each token at most
// once (so a path holds at most a few elements per character) and gives only finite
// coordinates.

#include "FuzzSupport.h"

#include "app/support/SvgPath.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace vorlix;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QPainterPath path = SvgPath::parse(text);
    // A cubic is three elements and needs at least one token; a close adds at most a line
    // and the move that follows it.
    if (path.elementCount() > 4 * text.size() + 1)
        fuzz::fail("more elements than the text can give");
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        if (!std::isfinite(e.x) || !std::isfinite(e.y))
            fuzz::fail("a coordinate that is not finite");
    }
    return 0;
}
