#pragma once
// A QIcon drawn by a function instead of from pixmaps: each size and device pixel ratio
// asked is drawn afresh, so the icon stays sharp on any screen. The function draws into
// a rectangle in logical pixels; the icon claims `size` as its one available size.

#include <QIcon>
#include <QIconEngine>
#include <QSize>

#include <functional>

namespace vorlix {

class DrawnIconEngine : public QIconEngine {
public:
    using Drawing = std::function<void(QPainter&, const QRectF&)>;

    DrawnIconEngine(QSize size, Drawing draw);

    // A mask icon (QIcon::isMask) over the drawing, so menus and buttons tint it.
    static QIcon maskIcon(QSize size, Drawing draw);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override;
    QIconEngine* clone() const override;

private:
    void drawInto(QPainter& painter, const QRectF& rect, QIcon::Mode mode) const;

    QSize m_size;
    Drawing m_draw;
};

} // namespace vorlix
