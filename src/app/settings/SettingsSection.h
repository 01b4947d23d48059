#pragma once
// A titled group of settings rows on a rounded card, with an optional footer under it.
// Rows are separated by a thin rule inset 14 points on the left: solid, or dashed above
// the rows whose indexes are in `dashedAbove`.

#include <QString>
#include <QWidget>

#include <optional>
#include <set>
#include <vector>

namespace vorlix {

// The rounded card behind a section's rows: whitish with a faint outline in a light
// look, almost transparent with a stronger outline in a dark one.
class SettingsCard : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    struct Look {
        QColor fill;
        QColor stroke;
    };
    // The look for the card's palette (dark when its window colour is dark).
    Look look() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A horizontal dashed rule, 1 point high, drawn across its contents rectangle.
class DashedLine : public QWidget {
    Q_OBJECT

public:
    explicit DashedLine(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {0, 1}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

class SettingsSection : public QWidget {
    Q_OBJECT

public:
    // The kinds of what lies between two rows of the card, for a look from outside.
    enum class Separator { solid, dashed };

    SettingsSection(const QString& title, const std::vector<QWidget*>& rows, const std::set<int>& dashedAbove = {},
                    const std::optional<QString>& footer = std::nullopt, QWidget* parent = nullptr);

    SettingsCard* card() const { return m_card; }
    // The rows and separators of the card, top to bottom.
    std::vector<QWidget*> cardItems() const;
    static std::optional<Separator> separatorKind(const QWidget* item);

private:
    SettingsCard* m_card;
};

} // namespace vorlix
