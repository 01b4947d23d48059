#pragma once
// Saving a project package so that the previous package at the target is never put at
// risk: the new one is written beside it, flushed and swapped into place.

#include "core/formats/ImageStore.h"
#include "core/formats/PackageFileSystem.h"
#include "core/formats/ProjectPackage.h"
#include "core/model/DocumentModel.h"

#include <QString>

namespace vorlix::ProjectPackage {

// Saves the package at `folder`, replacing any package there only once the new one is
// whole on disk. Throws ReadError::missingImage (nothing is written) or WriteError.
void write(const DocumentModel& document, const ImageStore& images, const QString& folder,
           PackageFileSystem& fileSystem = PackageFileSystem::system());

} // namespace vorlix::ProjectPackage
