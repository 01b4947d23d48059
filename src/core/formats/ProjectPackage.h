#pragma once
// The project package: a folder holding the document as "document.json" (pretty
// printed, keys sorted) and an "images" folder with one file per image the document
// uses, named by the image id in upper-case 8-4-4-4-12 form, ".", and the asset's
// extension, its bytes exactly as the image store holds them.
//
// Reading checks the format version (a newer one is refused), decodes the document
// and brings older versions up to the current one. The folder is untrusted input: no
// symbolic link is followed, only regular files are opened, sizes are capped, and only
// files named after images the document uses are read. The result never depends on the
// order in which the system lists a folder.
//
// Writing never puts the previous package at risk: the new package is written into a
// sibling folder, flushed to disk, and swapped with the old one in one step.
//
// This header has the names, the errors and the document's coding; reading a folder is
// in ProjectPackageReader.h, saving one in ProjectPackageWriter.h.

#include "core/formats/ImageStore.h"
#include "core/model/DocumentModel.h"

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorlix::ProjectPackage {

inline constexpr std::string_view documentFileName = "document.json";
inline constexpr std::string_view imagesDirectoryName = "images";
inline constexpr std::int64_t currentFormatVersion = DocumentModel::currentFormatVersion;

// Why a package cannot be read (or, for a missing image, written). The Italian text
// is what the user is shown.
class ReadError : public std::exception {
public:
    enum class Kind { newerFormat, missingImage, missingDocument };

    static ReadError newerFormat(std::int64_t version);
    static ReadError missingImage(const QUuid& imageID);
    static ReadError missingDocument();

    Kind kind() const { return m_kind; }
    std::int64_t version() const { return m_version; } // newerFormat only
    const QUuid& imageID() const { return m_imageID; } // missingImage only
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

    bool operator==(const ReadError& other) const
    {
        return m_kind == other.m_kind && m_version == other.m_version && m_imageID == other.m_imageID;
    }

private:
    ReadError(Kind kind, std::int64_t version, const QUuid& imageID);

    Kind m_kind;
    std::int64_t m_version = 0;
    QUuid m_imageID;
    std::string m_what; // UTF-8 of errorDescription()
};

// A file-system failure while saving. The previous package, if there was one, is
// still in place.
class WriteError : public std::exception {
public:
    WriteError(int systemError, QString path);

    int systemError() const { return m_systemError; } // an errno value
    const QString& path() const { return m_path; }
    QString errorDescription() const;
    const char* what() const noexcept override { return m_what.c_str(); }

private:
    int m_systemError;
    QString m_path;
    std::string m_what;
};

// Arrays and objects nested deeper than this make "document.json" damaged. Real
// documents nest about eight levels; the cap keeps hostile text from costing
// gigabytes of parsed values.
inline constexpr int maximumNestingDepth = 64;

// The files of a package before they reach the disk: the document's JSON and the
// image files by name, in name order.
struct PackageFiles {
    QByteArray documentJSON;
    std::vector<std::pair<QString, QByteArray>> imageFiles;

    bool operator==(const PackageFiles&) const = default;
};

// The image's file name inside "images": upper-case id, ".", extension.
QString imageFileName(const QUuid& imageID, const QString& fileExtension);
// Whether an extension can end an image file's name: 1 to 16 ASCII letters and digits.
// Files with any other name are not read, and an asset with another extension is
// not written.
bool isImageFileExtension(QStringView fileExtension);

// "document.json" text: two-space indentation, keys sorted at every level.
QByteArray encodeDocument(const DocumentModel& document);

// The package to save. Only images the document uses are included. Throws
// ReadError::missingImage when the store lacks one of them, before anything is made.
PackageFiles files(const DocumentModel& document, const ImageStore& images);

// Version check, decoding and upgrade of "document.json" alone. Throws
// ReadError::newerFormat for a version above the current one, DecodeError for
// damaged or malformed text.
DocumentModel decodeDocument(std::string_view data);

} // namespace vorlix::ProjectPackage
