// The module that holds the recognition engines; see RecognitionEngine.h. Built without
// Qt or any other library of ours, so loading it maps only the engines.

#define ZX_USE_UTF8
#include "core/analysis/RecognitionEngine.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <ZXing/ReadBarcode.h>

#include <memory>

namespace vorlix::RecognitionEngine {

namespace {

void* createText(const char* languages)
{
    auto engine = std::make_unique<tesseract::TessBaseAPI>();
    const std::vector<std::string> names{"debug_file"};
    const std::vector<std::string> values{"/dev/null"};
    if (engine->Init(nullptr, languages, tesseract::OEM_LSTM_ONLY, nullptr, 0, &names, &values, false) != 0)
        return nullptr;
    // Inverted images are made dark-on-light beforehand; the engine's own retry on
    // inverted lines only costs time.
    engine->SetVariable("tessedit_do_invert", "0");
    // Lines are found and ordered by our own line finder, and bands are cut between
    // them, so the engine's column analysis of a whole page only costs time.
    engine->SetPageSegMode(tesseract::PSM_SINGLE_BLOCK);
    return engine.release();
}

void destroyText(void* engine) { delete static_cast<tesseract::TessBaseAPI*>(engine); }

void clearText(void* engine) { static_cast<tesseract::TessBaseAPI*>(engine)->Clear(); }

bool readText(void* handle, const unsigned char* pixels, int width, int height, int bytesPerLine, int dotsPerInch,
              float minConfidence, std::vector<TextLine>* lines)
{
    auto& engine = *static_cast<tesseract::TessBaseAPI*>(handle);
    engine.SetImage(pixels, width, height, 1, bytesPerLine);
    engine.SetSourceResolution(dotsPerInch);
    if (engine.Recognize(nullptr) != 0)
        return false;
    const std::unique_ptr<tesseract::ResultIterator> it(engine.GetIterator());
    if (!it)
        return false;
    constexpr auto level = tesseract::RIL_TEXTLINE;
    do {
        if (it->Empty(level) || it->Confidence(level) < minConfidence)
            continue;
        TextLine line;
        if (!it->BoundingBox(level, &line.left, &line.top, &line.right, &line.bottom))
            continue;
        const std::unique_ptr<char[]> text(it->GetUTF8Text(level));
        if (!text)
            continue;
        line.text = text.get();
        lines->push_back(std::move(line));
    } while (it->Next(level));
    return true;
}

void readCodes(const unsigned char* pixels, int width, int height, int bytesPerLine, CodeFamily family,
               std::vector<Code>* codes)
{
    const ZXing::ImageView view(pixels, width, height, ZXing::ImageFormat::Lum, bytesPerLine);
    using enum ZXing::BarcodeFormat;
    const ZXing::BarcodeFormats formats = family == CodeFamily::squareAndLinear
                                              ? QRCode | MicroQRCode | PDF417 | LinearCodes
                                          : family == CodeFamily::others ? Aztec | DataMatrix | MaxiCode
                                                                         : Any;
    const auto hints =
        ZXing::DecodeHints().setFormats(formats).setTryHarder(false).setTryRotate(true).setTryDownscale(false);
    for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints)) {
        if (!result.isValid())
            continue;
        Code code;
        code.text = result.text();
        const ZXing::Position& position = result.position();
        for (std::size_t i = 0; i < code.corners.size(); ++i)
            code.corners[i] = {position[int(i)].x, position[int(i)].y};
        codes->push_back(std::move(code));
    }
}

const Api moduleApi{createText, destroyText, clearText, readText, readCodes};

} // namespace

} // namespace vorlix::RecognitionEngine

extern "C" __attribute__((visibility("default"))) const vorlix::RecognitionEngine::Api* vorlix_recognition_engine_api()
{
    return &vorlix::RecognitionEngine::moduleApi;
}
