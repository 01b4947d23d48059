#pragma once
// A folder the user chose (the history folder, the projects folder), remembered under
// one settings key so that it can be found again in later runs.
//
// The stored value is a small text record: "vorlix-folder-1", the folder's device and
// inode numbers, and its absolute path (the path last, so any byte of it is kept).
// A folder that was moved is not followed: its path no longer leads to a directory and
// it is reported lost. A different folder now standing at the path (moved away and
// replaced, or deleted and made again) is used, and the record is refreshed with its
// new identity. A folder inside a desktop Trash counts as gone.
//
// `resolve()` reads the record once and then keeps the folder as `opened` while it
// stays usable, so repeated reads touch the disk only for the existence test.

#include "app/support/DefaultsStore.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace vorlix {

class BookmarkedFolder {
public:
    struct Resolution {
        enum class Kind {
            usable, // the folder exists and is a directory; `path` holds it
            none,   // nothing is stored
            lost,   // something was stored but no longer leads to a usable folder; removed
        };
        Kind kind = Kind::none;
        QString path;

        bool operator==(const Resolution&) const = default;

        static Resolution usable(QString path) { return {Kind::usable, std::move(path)}; }
        static Resolution none() { return {Kind::none, {}}; }
        static Resolution lost() { return {Kind::lost, {}}; }
    };

    // Device and inode of a file system object.
    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;

        bool operator==(const Identity&) const = default;
    };

    BookmarkedFolder(QString key, DefaultsStore& defaults);

    const QString& key() const { return m_key; }
    const std::optional<QString>& opened() const { return m_opened; }

    Resolution resolve();
    // Remembers `path` (made absolute), or forgets with nothing. False, and nothing
    // changes, when the path does not lead to anything that exists.
    [[nodiscard]] bool set(const std::optional<QString>& path);
    void forget();

    // Not inside a Trash, exists, and is a directory (symbolic links followed).
    static bool isUsableFolder(const QString& path);
    static bool isInTrash(const QString& path);
    static std::optional<Identity> identity(const QString& path);

    // The stored record and its reading; nothing for data that is no record.
    struct Record {
        QString path;
        Identity identity;

        bool operator==(const Record&) const = default;
    };
    static QByteArray encodeRecord(const Record& record);
    static std::optional<Record> decodeRecord(const QByteArray& data);

private:
    QString m_key;
    DefaultsStore& m_defaults;
    std::optional<QString> m_opened;
};

} // namespace vorlix
