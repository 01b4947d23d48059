#pragma once
// What a second start of the program hands to the running one: its command-line
// arguments, each a command URL ("vorlix://capture/screen") or a file path. On the local
// socket they travel as one message: the number of arguments, then for each its UTF-8
// length and bytes, every number a 32-bit unsigned big-endian integer.
//
// The receiver trusts nothing of it: a message with more than `maximumArguments`
// arguments, an argument longer than `maximumArgumentBytes` or one that is no valid
// UTF-8 is refused whole.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace vorlix::ForwardedArguments {

inline constexpr int maximumArguments = 64;
inline constexpr qsizetype maximumArgumentBytes = 4096;
// The longest message a valid one can be.
inline constexpr qsizetype maximumMessageBytes = 4 + maximumArguments * (4 + maximumArgumentBytes);

// The arguments as the running instance should read them: a file path made absolute
// against `currentFolder` (the running instance has a folder of its own), a local file
// URL turned into its path, any other URL kept as it is. A path that names an existing
// file counts as a path even when it looks like a URL ("a:b.png"). Empty arguments are
// left out.
QStringList forwardable(const QStringList& arguments, const QString& currentFolder);

// The message for `arguments`; arguments past the limits are left out (with a warning).
QByteArray encode(const QStringList& arguments);

struct Decoded {
    enum class Status { incomplete, invalid, complete };
    Status status = Status::incomplete;
    QStringList arguments; // when complete
    qsizetype length = 0;  // bytes the complete message takes

    bool operator==(const Decoded&) const = default;
};

// Reads one message from the start of `bytes`.
Decoded decode(QByteArrayView bytes);

} // namespace vorlix::ForwardedArguments
