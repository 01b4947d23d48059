// vorlix-update-download URL MAXIMUM-BYTES TIMEOUT-MS: one GET of the update file, run by
// the program for each check so that the network and TLS libraries never stay in a
// program that waits in the tray. Writes the body of a 200 answer within the size limit
// to its output and ends with 0; otherwise writes why not to its error output and ends
// with 1. Redirects to a less safe scheme are refused.

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

struct Download {
    qint64 maximumBytes = 0;
    QByteArray body;
    bool tooLarge = false;

    void take(QNetworkReply& reply)
    {
        if (tooLarge)
            return;
        body += reply.read(maximumBytes + 1 - body.size());
        if (body.size() > maximumBytes)
            stop(reply);
    }

    void stop(QNetworkReply& reply)
    {
        tooLarge = true;
        reply.abort();
    }
};

int fail(const QString& why)
{
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    bool sizeRead = false;
    bool timeoutRead = false;
    const qint64 maximumBytes = arguments.value(2).toLongLong(&sizeRead);
    const int timeoutMs = arguments.value(3).toInt(&timeoutRead);
    const QUrl url(arguments.value(1), QUrl::StrictMode);
    if (arguments.size() != 4 || !url.isValid() || !sizeRead || maximumBytes < 0 || !timeoutRead || timeoutMs <= 0)
        return fail(QStringLiteral("usage: vorlix-update-download URL MAXIMUM-BYTES TIMEOUT-MS"));

    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    Download download;
    download.maximumBytes = maximumBytes;
    QNetworkReply* reply = network.get(request);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maximumBytes)
            download.stop(*reply);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, [&] { download.take(*reply); });
    QObject::connect(reply, &QNetworkReply::finished, &app, &QCoreApplication::quit);
    // The transfer timeout counts from the last byte; this bounds the whole request.
    QTimer::singleShot(timeoutMs, reply, [reply] { reply->abort(); });
    app.exec();

    download.take(*reply);
    const int statusCode = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (download.tooLarge || reply->error() != QNetworkReply::NoError || statusCode != 200)
        return fail(QStringLiteral("%1 (HTTP status %2%3)")
                        .arg(reply->errorString())
                        .arg(statusCode)
                        .arg(download.tooLarge ? QStringLiteral(", file too large") : QString()));
    std::fwrite(download.body.constData(), 1, std::size_t(download.body.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
