// The update file's download, in the module the first update check loads.

#include "app/shell/update/UpdateDownload.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

namespace vorlix {

namespace {

class NetworkUpdateDownload final : public UpdateDownload {
public:
    ~NetworkUpdateDownload() override
    {
        if (m_reply) {
            m_reply->disconnect();
            m_reply->abort();
        }
    }

    void get(const QUrl& url, qint64 maximumBytes, std::chrono::milliseconds timeout, Completion done) override
    {
        m_done = std::move(done);
        m_maximumBytes = maximumBytes;
        QNetworkRequest request(url);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
        request.setTransferTimeout(static_cast<int>(timeout.count()));
        QNetworkReply* reply = m_network.get(request);
        m_reply = reply;
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this, reply] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() > m_maximumBytes)
                tooLarge(*reply);
        });
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [this, reply] { take(*reply); });
        QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply] { finished(*reply); });
        // The transfer timeout counts from the last byte; this bounds the whole request.
        QTimer::singleShot(timeout, reply, [reply] { reply->abort(); });
    }

private:
    void take(QNetworkReply& reply)
    {
        if (m_tooLarge)
            return;
        m_body += reply.read(m_maximumBytes + 1 - m_body.size());
        if (m_body.size() > m_maximumBytes)
            tooLarge(reply);
    }

    void tooLarge(QNetworkReply& reply)
    {
        m_tooLarge = true;
        reply.abort();
    }

    void finished(QNetworkReply& reply)
    {
        reply.disconnect();
        reply.deleteLater();
        m_reply = nullptr;
        take(reply);
        UpdateDownloadResult result;
        const int statusCode = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (!m_tooLarge && reply.error() == QNetworkReply::NoError && statusCode == 200) {
            result.body = std::move(m_body);
        } else {
            result.failure = QStringLiteral("%1 (HTTP status %2%3)")
                                 .arg(reply.errorString())
                                 .arg(statusCode)
                                 .arg(m_tooLarge ? QStringLiteral(", file too large") : QString());
        }
        m_body.clear();
        // Later, from the application object, so that the owner may destroy this download
        // from inside `done`; not at all once this download is gone.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [alive = std::weak_ptr<bool>(m_alive), done = std::move(m_done), result = std::move(result)] {
                if (alive.lock())
                    done(result);
            },
            Qt::QueuedConnection);
    }

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_reply;
    Completion m_done;
    qint64 m_maximumBytes = 0;
    QByteArray m_body;
    bool m_tooLarge = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace

} // namespace vorlix

extern "C" Q_DECL_EXPORT vorlix::UpdateDownload* vorlixMakeUpdateDownload()
{
    return new vorlix::NetworkUpdateDownload;
}
