// Project package folders from anywhere: the fuzz input becomes a small folder, which
// the package reader either reads whole (every image the document uses present) or
// refuses with a ReadError or DecodeError.
//
// Input framing: pieces split at the bytes FF FE (never inside UTF-8 text). The first
// piece is "document.json"; each later one (at most eight) starts with a byte saying how
// it enters the folder, and the rest is the file's content. The n-th file is named
// after the n-th image the document uses (ids in set order), or a fixed id when the
// document names fewer, so the fuzzer reaches the image files without guessing ids.

#include "FuzzSupport.h"

#include "core/document/DocumentAnnotations.h"
#include "core/formats/ProjectPackage.h"
#include "core/formats/ProjectPackageReader.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

using namespace vorlix;
namespace fs = std::filesystem;

namespace {

constexpr std::string_view separator("\xff\xfe", 2);
constexpr std::size_t maximumPieces = 9;

// How a piece enters the folder; the first byte of the piece modulo the count.
enum class Placement { pngFile, lowerCaseJpegFile, linkToOutside, directory, badName, documentLink, count };

QTemporaryDir* scratch = nullptr;

void writeFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::vector<std::string_view> pieces(std::string_view input)
{
    std::vector<std::string_view> out;
    while (out.size() + 1 < maximumPieces) {
        const std::size_t at = input.find(separator);
        if (at == std::string_view::npos)
            break;
        out.push_back(input.substr(0, at));
        input.remove_prefix(at + separator.size());
    }
    out.push_back(input);
    return out;
}

std::vector<QUuid> usedImageIDs(std::string_view documentText)
{
    try {
        const std::set<QUuid> ids = referencedImageIDs(ProjectPackage::decodeDocument(documentText));
        return {ids.begin(), ids.end()};
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    scratch = new QTemporaryDir();
    return scratch->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path root = scratch->path().toStdString();
    const fs::path package = root / "package.vorlix";
    const fs::path images = package / std::string(ProjectPackage::imagesDirectoryName);
    const fs::path outside = root / "outside";
    std::error_code ignored;
    fs::remove_all(package, ignored);
    fs::remove_all(outside, ignored);
    fs::create_directories(images);
    fs::create_directories(outside);

    const std::vector<std::string_view> parts = pieces(std::string_view(reinterpret_cast<const char*>(data), size));
    const fs::path documentPath = package / std::string(ProjectPackage::documentFileName);
    writeFile(documentPath, parts[0]);
    const std::vector<QUuid> ids = usedImageIDs(parts[0]);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        std::string_view piece = parts[i];
        const auto placement = Placement(piece.empty() ? 0 : std::uint8_t(piece[0]) % int(Placement::count));
        if (!piece.empty())
            piece.remove_prefix(1);
        const QUuid id =
            i - 1 < ids.size()
                ? ids[i - 1]
                : QUuid(QStringLiteral("{00000000-0000-4000-8000-0000000000%1}").arg(i, 2, 10, QChar(u'0')));
        const std::string upper = id.toString(QUuid::WithoutBraces).toUpper().toStdString();
        switch (placement) {
        case Placement::pngFile:
            writeFile(images / (upper + ".png"), piece);
            break;
        case Placement::lowerCaseJpegFile:
            writeFile(images / (id.toString(QUuid::WithoutBraces).toStdString() + ".jpeg"), piece);
            break;
        case Placement::linkToOutside:
            writeFile(outside / upper, piece);
            fs::create_symlink(outside / upper, images / (upper + ".png"), ignored);
            break;
        case Placement::directory:
            fs::create_directories(images / (upper + ".png"), ignored);
            break;
        case Placement::badName:
            writeFile(images / (upper + ".p-g"), piece);
            break;
        case Placement::documentLink:
            writeFile(outside / "document.json", piece);
            fs::remove(documentPath, ignored);
            fs::create_symlink(outside / "document.json", documentPath, ignored);
            break;
        case Placement::count:
            break;
        }
    }

    try {
        const ProjectPackage::Project project = ProjectPackage::read(QString::fromStdString(package.string()));
        for (const QUuid& id : referencedImageIDs(project.document))
            if (!project.images.contains(id))
                fuzz::fail("a package was read without an image its document uses");
        if (project.document.formatVersion != ProjectPackage::currentFormatVersion)
            fuzz::fail("a package was read without bringing its document up to date");
    } catch (const ProjectPackage::ReadError&) {
    } catch (const DecodeError&) {
    }
    return 0;
}
