#pragma once
// The label badges that float over the canvas's top-left corner: `SizeBadge` with the
// exported image's size in pixels ("1280 × 720 px") and `UnsavedBadge` ("NON SALVATO")
// while the project has unsaved changes. A badge never takes the pointer: clicks reach the
// canvas beneath. Since it then sees no enter or leave either, the window tells it when
// the pointer is over it (`setHovered`), and it fades to 0.15 so the canvas shows through.

#include <QColor>
#include <QMargins>
#include <QSizeF>
#include <QString>
#include <QWidget>

class QGraphicsOpacityEffect;
class QLabel;
class QPropertyAnimation;

namespace vorlix {

class CanvasBadge : public QWidget {
public:
    static constexpr double hoveredOpacity = 0.15;

    QString text() const;
    bool isHovered() const { return m_hovered; }
    // Fades to 0.15 while hovered, back to 1 after.
    void setHovered(bool hovered);
    // The opacity the badge shows or is fading to.
    double targetOpacity() const;

protected:
    CanvasBadge(const QFont& font, const QColor& textColor, const QColor& background, QMargins insets, QWidget* parent);
    void setText(const QString& text);
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_label;
    QColor m_background;
    QGraphicsOpacityEffect* m_opacity;
    QPropertyAnimation* m_fade;
    bool m_hovered = false;
};

class SizeBadge : public CanvasBadge {
public:
    explicit SizeBadge(QWidget* parent = nullptr);

    // "1280 × 720 px": each side rounded to the nearest integer.
    static QString text(QSizeF pixels);
    // (Not `show`: that would hide QWidget::show.)
    void showSize(QSizeF pixels);
    using CanvasBadge::text;
};

class UnsavedBadge : public CanvasBadge {
public:
    explicit UnsavedBadge(QWidget* parent = nullptr);

    // Shown exactly while the document is edited.
    void showEdited(bool edited);
};

} // namespace vorlix
