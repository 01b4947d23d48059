// vorlix-heif-decode: decodes one HEIC or HEIF picture for the program, in a process of
// its own, so that a file that sends the decoder into a long loop or a crash costs only
// this process.
//
//   vorlix-heif-decode [--size] <maximum pixels>  < picture  > answer
//
// The answer is "VHD1", the width and height (32-bit little-endian), 1 when the image has
// alpha else 0, then, without --size, the rows of the primary image, turned and mirrored
// as the file says: RGBA or RGB bytes, tightly packed. Exit status 0 with an answer, 1
// when the data is no readable picture, 2 when it has more than the maximum pixels.

#include <libheif/heif.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ok(heif_error error) { return error.code == heif_error_Ok; }

void writeHeader(int width, int height, bool alpha)
{
    unsigned char header[13] = {'V', 'H', 'D', '1'};
    for (int i = 0; i < 4; ++i) {
        header[4 + i] = static_cast<unsigned char>(std::uint32_t(width) >> (8 * i));
        header[8 + i] = static_cast<unsigned char>(std::uint32_t(height) >> (8 * i));
    }
    header[12] = alpha ? 1 : 0;
    std::fwrite(header, 1, sizeof header, stdout);
}

// What the decoder holds, given back before the process ends so that leak checkers see
// a clean exit.
struct Decoding {
    heif_context* context = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;

    Decoding() = default;
    Decoding(const Decoding&) = delete;
    Decoding& operator=(const Decoding&) = delete;
    ~Decoding()
    {
        if (image)
            heif_image_release(image);
        if (handle)
            heif_image_handle_release(handle);
        if (context)
            heif_context_free(context);
    }
};

int answer(const std::vector<char>& data, bool sizeOnly, long long maximumPixels)
{
    Decoding heif;
    if (!heif.context ||
        !ok(heif_context_read_from_memory_without_copy(heif.context, data.data(), data.size(), nullptr)) ||
        !ok(heif_context_get_primary_image_handle(heif.context, &heif.handle)))
        return 1;
    const int width = heif_image_handle_get_width(heif.handle);
    const int height = heif_image_handle_get_height(heif.handle);
    const bool alpha = heif_image_handle_has_alpha_channel(heif.handle);
    if (width <= 0 || height <= 0)
        return 1;
    if (static_cast<long long>(width) * height > maximumPixels)
        return 2;
    if (sizeOnly) {
        writeHeader(width, height, alpha);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!ok(heif_decode_image(heif.handle, &heif.image, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr)))
        return 1;
    int stride = 0;
    const std::uint8_t* pixels = heif_image_get_plane_readonly(heif.image, heif_channel_interleaved, &stride);
    const int decodedWidth = heif_image_get_width(heif.image, heif_channel_interleaved);
    const int decodedHeight = heif_image_get_height(heif.image, heif_channel_interleaved);
    if (!pixels || decodedWidth <= 0 || decodedHeight <= 0 ||
        static_cast<long long>(decodedWidth) * decodedHeight > maximumPixels)
        return 1;
    writeHeader(decodedWidth, decodedHeight, alpha);
    const std::size_t row = std::size_t(decodedWidth) * (alpha ? 4 : 3);
    for (int y = 0; y < decodedHeight; ++y)
        if (std::fwrite(pixels + std::size_t(y) * std::size_t(stride), 1, row, stdout) != row)
            return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int run(bool sizeOnly, long long maximumPixels)
{
    std::ios::sync_with_stdio(false);
    const std::vector<char> data((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    heif_init(nullptr);
    const int status = answer(data, sizeOnly, maximumPixels);
    heif_deinit();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    const bool sizeOnly = argc == 3 && std::strcmp(argv[1], "--size") == 0;
    if (argc != (sizeOnly ? 3 : 2))
        return 1;
    const long long maximumPixels = std::atoll(argv[argc - 1]);
    return maximumPixels > 0 ? run(sizeOnly, maximumPixels) : 1;
}
