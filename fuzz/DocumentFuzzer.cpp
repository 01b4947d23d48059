// "document.json" text from anywhere: decoding either gives a document or throws a
// DecodeError, and a decoded document survives encoding and decoding unchanged.

#include "FuzzSupport.h"

#include "core/model/DocumentModel.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace vorlix;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DocumentModel doc;
    try {
        doc = decodeDocument(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const DecodeError&) {
        return 0;
    }
    const std::string encoded = encodeJson(doc).dump();
    try {
        if (!(decodeDocument(encoded) == doc))
            fuzz::fail("decode(encode(document)) differs from the document");
    } catch (const DecodeError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        fuzz::fail("an encoded document does not decode");
    }
    return 0;
}
