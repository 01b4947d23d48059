#pragma once
// The history of shots: a folder chosen by the user holding one PNG per shot, whose
// record (`HistoryEntry`) travels in the PNG's own "Description" text, so the folder
// can be browsed, copied or cleaned with any file manager and still be read back.
//
// A history file is named `filePrefix` + " " + the shot's local date as
// "yyyy-MM-dd alle HH.mm.ss" + ".png", with " (2)", " (3)", ... before the extension
// when that name is taken. Every listing looks at the folder again, so changes made
// outside the program are seen at once; what was read from each file is kept, keyed by
// the file's name, inode, size and change and modification times (in nanoseconds), and a
// file is read again only when one of them differs. While the store watches the folder
// (inotify) and the watch saw nothing, a listing does not look at the files at all. A
// store object is used from one thread at a time.
//
// Reading never throws: an unreadable folder lists as empty, files that are no PNG
// are left out, and PNGs without a valid record get a record made from the file
// itself, whose id is derived from the file's name, size and modification time so
// that the same file keeps the same id from one listing to the next. Listing reads
// only the header chunks of each file, never its pixels. Writing and deleting throw
// `HistoryError`.

#include "core/formats/HistoryEntry.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QTimeZone>
#include <QUuid>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace vorlix {

// A failed write or removal in the history folder, with its Italian message.
class HistoryError : public std::runtime_error {
public:
    enum class Kind { createFolder, invalidImage, write, remove };

    HistoryError(Kind kind, const QString& path, const QString& reason);

    Kind kind() const { return m_kind; }
    const QString& path() const { return m_path; }
    // The text to show in an alert.
    QString message() const;

private:
    Kind m_kind;
    QString m_path;
    QString m_message;
};

class HistoryStore {
public:
    static constexpr int defaultRetentionDays = 14;
    static constexpr int recentMenuCount = 5;

    // `directory` is the history folder (made on the first write); `filePrefix` begins
    // every history file name and holds no "/". File names show dates in `timeZone`.
    HistoryStore(QString directory, QString filePrefix, QTimeZone timeZone = QTimeZone::systemTimeZone());
    ~HistoryStore();
    HistoryStore(const HistoryStore& other);
    HistoryStore& operator=(const HistoryStore& other);
    HistoryStore(HistoryStore&&) noexcept;
    HistoryStore& operator=(HistoryStore&&) noexcept;

    const QString& directory() const { return m_directory; }
    const QString& filePrefix() const { return m_filePrefix; }

    // The name of the history file for a shot taken at `date`; `number` 1 is the plain
    // name, 2 and above the names used when the earlier ones are taken.
    QString fileName(const QDateTime& date, int number = 1) const;

    // Writes a new history file holding `pngData` with the entry's JSON as its
    // "Description" text; the compressed pixels are copied, not encoded again. The
    // file is written beside its final name and then renamed, never replacing an
    // existing file. Returns the entry with `fileURL` set. `picture`, the decoded pixels
    // when the caller has them, is kept small for the file's thumbnails, so the menu of
    // recent shots never decodes a fresh shot again.
    HistoryEntry add(const QByteArray& pngData, const HistoryEntry& entry, const QImage& picture = {}) const;

    // Every history file's record, newest first; records with equal dates keep the
    // order of their file names.
    std::vector<HistoryEntry> entries() const;

    // The record of one file: its own when the PNG carries a valid one, else one made
    // from the file (kind area, its pixel size, creation date, scale from its dots per
    // inch). Nothing when the file cannot be read or is no PNG.
    std::optional<HistoryEntry> entry(const QString& filePath) const;

    // The first `limit` records of `entries()`.
    std::vector<HistoryEntry> recentEntries(int limit) const;

    // The upright thumbnail of the entry's file, whose longer side is maxPixelSize;
    // null when the entry has no file or the file cannot be decoded. What was decoded is
    // kept until the file changes.
    QImage thumbnail(const HistoryEntry& entry, int maxPixelSize) const;

    // Removes the entry's file; nothing happens when it has no file or the file is gone.
    void deleteEntry(const HistoryEntry& entry) const;

    // Removes every listed file, newest first; the first failure is thrown and leaves
    // the remaining files in place. Files the listing leaves out are never touched.
    void deleteAll() const;

    // Removes the entries dated strictly before now - days × 86,400 s and returns their
    // ids, newest first; a file that cannot be removed is kept and left out. A
    // retention below one day removes nothing: a damaged setting must not empty the
    // history.
    std::vector<QUuid> removeEntries(int olderThanDays, const QDateTime& now) const;

private:
    struct KeptFiles;

    // The records of the folder's history files as it is now, newest first, at most `limit`.
    std::vector<HistoryEntry> newest(std::size_t limit) const;
    // Keeps a small picture of the file at `path` as it is now.
    void keepThumbnail(const QString& path, int longerSide, QImage picture) const;
    // Reads the folder and the files that are new or changed since they were kept.
    void scan(const QByteArray& folder, const QByteArray& namePrefix, std::uint64_t listing) const;

    QString m_directory;
    QString m_filePrefix;
    QTimeZone m_timeZone;
    std::unique_ptr<KeptFiles> m_kept;
};

} // namespace vorlix
