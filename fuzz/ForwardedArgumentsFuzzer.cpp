// What a later start hands over on the local socket comes from any process of the user:
// reading it always ends, never waits for more than a message can hold, and a message it
// takes reads back exactly as our own writer would have made it.

#include "FuzzSupport.h"

#include "app/shell/startup/ForwardedArguments.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

using namespace vorlix;
namespace args = vorlix::ForwardedArguments;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const args::Decoded decoded = args::decode(bytes);
    switch (decoded.status) {
    case args::Decoded::Status::invalid:
        break;
    case args::Decoded::Status::incomplete:
        if (bytes.size() >= args::maximumMessageBytes)
            fuzz::fail("waits for more than the longest message");
        break;
    case args::Decoded::Status::complete: {
        if (decoded.length > bytes.size() || decoded.length > args::maximumMessageBytes)
            fuzz::fail("a message longer than what was read or allowed");
        if (decoded.arguments.size() > args::maximumArguments)
            fuzz::fail("more arguments than allowed");
        const QByteArray message = bytes.first(decoded.length).toByteArray();
        if (args::encode(decoded.arguments) != message)
            fuzz::fail("a message that does not read back as written");
        if (args::decode(bytes.first(decoded.length - 1)).status != args::Decoded::Status::incomplete)
            fuzz::fail("a cut message taken as whole or refused");
        break;
    }
    }
    return 0;
}
