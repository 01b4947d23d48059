#pragma once
// The clickable indicators of the editor's top bar: a symbol over a caption, 40 high and
// of a fixed width. `ValueIndicator` shows a short text (the zoom, "125%");
// `ColorIndicator` a swatch of the colour under the pointer, or a grey dash without one.
// A press fires on release inside, or moves the window once dragged (ClickOrWindowDrag);
// an indicator has no pressed or hover look. Coordinates are the widget's own, in logical
// pixels.

#include "app/editor/window/ClickOrWindowDrag.h"
#include "core/model/Color.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace vorlix {

class BarIndicator : public QWidget {
public:
    BarIndicator(int width, const QString& caption, QWidget* parent = nullptr);

    std::function<void()> onPress;

    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption);

protected:
    virtual void drawSymbol(QPainter& painter, const QRectF& rect) const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    ClickOrWindowDrag m_press;
};

class ValueIndicator : public BarIndicator {
public:
    using BarIndicator::BarIndicator;

    const QString& value() const { return m_value; }
    void setValue(const QString& value);

protected:
    void drawSymbol(QPainter& painter, const QRectF& rect) const override;

private:
    QString m_value;
};

class ColorIndicator : public BarIndicator {
public:
    using BarIndicator::BarIndicator;

    const std::optional<RGBAColor>& color() const { return m_color; }
    // The caption becomes the colour's hex code, or "Colore" without a colour.
    void setColor(const std::optional<RGBAColor>& color);

protected:
    void drawSymbol(QPainter& painter, const QRectF& rect) const override;

private:
    std::optional<RGBAColor> m_color;
};

} // namespace vorlix
