#pragma once
// One bounded GET of the update file. Each check runs it in a small program of its own
// (vorlix-update-download): the network and TLS libraries, with the Kerberos, proxy and
// compression libraries they pull in, never stay in a program that waits in the tray.

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace vorlix {

struct UpdateDownloadResult {
    std::optional<QByteArray> body; // the body of a 200 answer within the size limit
    QString failure;                // otherwise why not, for the log
};

class UpdateDownload {
public:
    using Completion = std::function<void(UpdateDownloadResult)>;

    // A request under way is dropped: its completion never runs.
    virtual ~UpdateDownload() = default;

    // Starts the request. `done` runs once, later, on the event loop; the download may be
    // destroyed from inside it. Redirects to a less safe scheme fail the request, and so do
    // a body over `maximumBytes` and a request that takes longer than `timeout` in all.
    virtual void get(const QUrl& url, qint64 maximumBytes, std::chrono::milliseconds timeout, Completion done) = 0;
};

// A download through the helper program; nullptr when the program cannot be found.
std::unique_ptr<UpdateDownload> makeUpdateDownload();

} // namespace vorlix
