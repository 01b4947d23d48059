#include "app/editor/canvas/TextRegionPopover.h"

#include "app/support/TextResultView.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace vorlix {

TextRegionPopover::TextRegionPopover(const TextRecognition::Result& result, QWidget* parent) : QFrame(parent, Qt::Popup)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    m_view = new TextResultView(result, this);
    m_view->setOnClose([this] { close(); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_view);
    adjustSize();
}

void TextRegionPopover::showBelow(QPoint anchor)
{
    QPoint topLeft(anchor.x() - width() / 2, anchor.y());
    // Slid along the screen's edge rather than cut off by it.
    if (const QScreen* screen = QGuiApplication::screenAt(anchor)) {
        const QRect room = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), room.left(), std::max(room.left(), room.right() - width())));
    }
    move(topLeft);
    show();
}

void TextRegionPopover::closeEvent(QCloseEvent* event)
{
    QFrame::closeEvent(event);
    if (auto closed = std::exchange(onClosed, nullptr))
        closed();
}

} // namespace vorlix
