#include "app/shell/update/UpdateDownload.h"

#include "core/imaging/HelperFile.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QTimer>

namespace vorlix {

namespace {

QString helperProgram()
{
    return findHelperFile(QStringLiteral(VORLIX_UPDATE_DOWNLOAD_NAME), QStringLiteral(VORLIX_UPDATE_DOWNLOAD_BUILT));
}

class ProcessUpdateDownload final : public UpdateDownload {
public:
    explicit ProcessUpdateDownload(QString program) : m_program(std::move(program)) {}

    ~ProcessUpdateDownload() override
    {
        m_process.disconnect();
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(1000);
        }
    }

    void get(const QUrl& url, qint64 maximumBytes, std::chrono::milliseconds timeout, Completion done) override
    {
        m_done = std::move(done);
        m_maximumBytes = maximumBytes;
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { take(); });
        QObject::connect(&m_process, &QProcess::finished, [this](int code, QProcess::ExitStatus status) {
            finished(status == QProcess::NormalExit && code == 0);
        });
        QObject::connect(&m_process, &QProcess::errorOccurred, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                finished(false);
        });
        // The helper bounds its own request; this also ends a helper that hangs.
        QTimer::singleShot(timeout + std::chrono::seconds(2), &m_process, [this] { m_process.kill(); });
        m_process.start(m_program, {url.toString(QUrl::FullyEncoded), QString::number(maximumBytes),
                                    QString::number(timeout.count())});
    }

private:
    void take()
    {
        if (m_tooLarge)
            return;
        m_body += m_process.read(m_maximumBytes + 1 - m_body.size());
        if (m_body.size() > m_maximumBytes) {
            m_tooLarge = true;
            m_process.kill();
        }
    }

    void finished(bool succeeded)
    {
        if (!m_done)
            return;
        take();
        UpdateDownloadResult result;
        if (succeeded && !m_tooLarge)
            result.body = std::move(m_body);
        else
            result.failure = m_tooLarge ? QStringLiteral("file too large")
                                        : QString::fromUtf8(m_process.readAllStandardError()).trimmed().left(500);
        if (result.failure.isEmpty() && !result.body)
            result.failure = m_process.errorString();
        // Later, from the application object, so that the owner may destroy this download
        // from inside `done`; not at all once this download is gone.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [alive = std::weak_ptr<bool>(m_alive), done = std::exchange(m_done, {}), result = std::move(result)] {
                if (alive.lock())
                    done(result);
            },
            Qt::QueuedConnection);
    }

    QString m_program;
    QProcess m_process;
    Completion m_done;
    qint64 m_maximumBytes = 0;
    QByteArray m_body;
    bool m_tooLarge = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace

std::unique_ptr<UpdateDownload> makeUpdateDownload()
{
    QString program = helperProgram();
    if (program.isEmpty()) {
        qWarning("The update check's download program is missing");
        return nullptr;
    }
    return std::make_unique<ProcessUpdateDownload>(std::move(program));
}

} // namespace vorlix
