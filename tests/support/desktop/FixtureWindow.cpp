#include "support/desktop/FixtureWindow.h"

#include "support/desktop/DesktopTools.h"

#include <QPainter>

namespace vorlix::test {

FixtureWindow::FixtureWindow(const QImage& picture, QPoint topLeft, const QString& title) : m_picture(picture)
{
    setTitle(title);
    setGeometry(QRect(topLeft, picture.deviceIndependentSize().toSize()));
    setMinimumSize(geometry().size());
    setMaximumSize(geometry().size());
}

bool FixtureWindow::showAndWait()
{
    show();
    return waitUntil([this] { return isExposed() && m_painted; });
}

QImage FixtureWindow::quadrants(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    QPainter painter(&image);
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, size.width() - w, h, Qt::green);
    painter.fillRect(0, h, w, size.height() - h, Qt::blue);
    painter.fillRect(w, h, size.width() - w, size.height() - h, Qt::white);
    return image;
}

void FixtureWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
    m_painted = true;
}

} // namespace vorlix::test
