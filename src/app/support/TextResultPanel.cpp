#include "app/support/TextResultPanel.h"

#include "app/support/TextResultView.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace vorlix::TextResultPanel {

namespace {

QPointer<QWidget>& shownPanel()
{
    static QPointer<QWidget> panel;
    return panel;
}

// The window manager adds its frame only after the panel is shown, and the frame counts
// for the corner: whenever the frame's size changes the panel is placed again. A move by
// the user leaves the size alone, so the panel stays where the user put it.
class CornerPlacement : public QObject {
public:
    explicit CornerPlacement(QWidget* panel) : QObject(panel)
    {
        panel->installEventFilter(this);
        place(panel);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)
            place(static_cast<QWidget*>(watched));
        return false;
    }

private:
    void place(QWidget* panel)
    {
        const QSize frameSize = panel->frameGeometry().size();
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen || frameSize == m_placedFrameSize)
            return;
        m_placedFrameSize = frameSize;
        panel->move(bottomRightPosition(screen->availableGeometry(), frameSize));
    }

    QSize m_placedFrameSize;
};

} // namespace

QPoint bottomRightPosition(const QRect& available, QSize frameSize)
{
    return {available.x() + available.width() - frameSize.width() - screenInset,
            available.y() + available.height() - frameSize.height() - screenInset};
}

QWidget* current() { return shownPanel(); }

void show(const TextRecognition::Result& result)
{
    if (QWidget* previous = shownPanel())
        previous->close();

    auto* panel = new TextResultView(result);
    panel->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    panel->setWindowTitle(u"Riconosci testo/QR"_s);
    panel->setAttribute(Qt::WA_ShowWithoutActivating);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setOnClose([panel] { panel->close(); });
    panel->adjustSize();
    new CornerPlacement(panel);
    shownPanel() = panel;
    panel->show();
}

} // namespace vorlix::TextResultPanel
