#pragma once
// Pictures on the clipboard: writing PNG data with an optional confirmation notice, and
// reading the image files named by clipboard or drop data.
//
// The data we write offers "image/png" first, then "image/tiff" when given. It also
// offers the picture as an image, decoded only when a program asks for it, so that
// programs wanting another image type (BMP, JPEG...) are served from the same PNG.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <cstdint>

#include <memory>
#include <optional>

class QMimeData;
class QWidget;

namespace vorlix::Pasteboard {

inline constexpr char pngType[] = "image/png";
inline constexpr char tiffType[] = "image/tiff";

// How often the clipboard's content has changed in this run, by us or by any other
// program: the same number means the same content. Counting starts with the first call
// of this or of `setMimeData`.
std::int64_t changeCount();
// Replaces the clipboard's content.
void setMimeData(std::unique_ptr<QMimeData> data);

// The clipboard data `copyPNG` writes.
std::unique_ptr<QMimeData> pngMimeData(const QByteArray& png, const std::optional<QByteArray>& tiff);

// Replaces the clipboard's content with the picture; shows `notice` over `window` (or the
// screen under the pointer) when given.
void copyPNG(const QByteArray& png, const std::optional<QByteArray>& tiff, const std::optional<QString>& notice,
             QWidget* window);

// The local files among `data`'s URLs whose extension names an image type, in order.
// URLs of folders, of other types, with an unknown or no extension are left out.
QList<QUrl> imageFileUrls(const QMimeData& data);

} // namespace vorlix::Pasteboard
