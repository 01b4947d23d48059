#pragma once
// The text and code engines (Tesseract and ZXing) live in a module of their own, loaded
// on the first recognition: a program that never recognises anything never maps them,
// nor the libraries they pull in. This is the module's whole interface, in plain types
// on both sides.

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace vorlix::RecognitionEngine {

// A recognised line in pixels of the image handed in, its text in UTF-8.
struct TextLine {
    std::string text;
    int left = 0, top = 0, right = 0, bottom = 0;
};

// A found code: its payload in UTF-8 and its four corners.
struct Code {
    std::string text;
    std::array<std::pair<int, int>, 4> corners{};
};

// The code formats one search looks for: all, or one of two families that together make
// all, so two searches can run at once.
enum class CodeFamily { all, squareAndLinear, others };

struct Api {
    // A text engine for the languages ("ita+eng"); null when it cannot start.
    void* (*createText)(const char* languages);
    void (*destroyText)(void* engine);
    // Forgets the last image, so the engine can be lent again.
    void (*clearText)(void* engine);
    // The lines of an 8-bit grey image with at least `minConfidence` (0-100); false when
    // the engine failed.
    bool (*readText)(void* engine, const unsigned char* pixels, int width, int height, int bytesPerLine,
                     int dotsPerInch, float minConfidence, std::vector<TextLine>* lines);
    // The codes of an 8-bit grey image.
    void (*readCodes)(const unsigned char* pixels, int width, int height, int bytesPerLine, CodeFamily family,
                      std::vector<Code>* codes);
};

// The name of the module's one exported function, which returns its Api.
inline constexpr const char* entryPoint = "vorlix_recognition_engine_api";
using EntryPoint = const Api* (*)();

// The loaded module's functions, loaded on the first call; null when the module cannot
// be loaded (recognition then finds nothing).
const Api* api();

} // namespace vorlix::RecognitionEngine
