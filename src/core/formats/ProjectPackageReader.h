#pragma once
// Reading a project package folder, which may have been made by anyone: no symbolic link
// is followed, only regular files within their caps are opened, and only the files of
// images the document uses are read.

#include "core/formats/ImageStore.h"
#include "core/formats/ProjectPackage.h"
#include "core/model/DocumentModel.h"

#include <QString>

#include <cstdint>

namespace vorlix::ProjectPackage {

// Caps on what reading takes from a folder, in bytes. A document or image over its
// cap counts as absent; images are taken in name order until the total is reached.
struct ReadLimits {
    std::int64_t maximumDocumentSize = std::int64_t(64) << 20;
    std::int64_t maximumImageSize = std::int64_t(2) << 30;
    std::int64_t maximumTotalImageSize = std::int64_t(4) << 30;
};

// What a package holds once read: the upgraded document and a store of its images.
struct Project {
    DocumentModel document;
    ImageStore images;
};

// Reads the package folder at `folder`. Throws ReadError (missingDocument when the
// folder or its document cannot be read, missingImage for a used image that is absent,
// unreadable or over its limit, newerFormat) or DecodeError.
Project read(const QString& folder, const ReadLimits& limits = {});

} // namespace vorlix::ProjectPackage
