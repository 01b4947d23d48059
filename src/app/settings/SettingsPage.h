#pragma once
// A settings page's view: its sections one under the other (and an optional view at the
// right end under them) on a scrolling page exactly 580 points wide. The page asks for
// the full height of its content, and scrolls when its window makes it shorter.

#include <QWidget>

#include <vector>

class QScrollArea;

namespace vorlix {

class SettingsPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int pageWidth = 580;

    // The scroll area's document: content starts at its top.
    class Content : public QWidget {
    public:
        using QWidget::QWidget;
    };

    explicit SettingsPage(const std::vector<QWidget*>& sections, QWidget* trailing = nullptr,
                          QWidget* parent = nullptr);

    // Its width, and the height of all of its content.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QScrollArea* scrollArea() const { return m_scroll; }
    Content* content() const { return m_content; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int contentHeight() const;
    void fitContent();

    QScrollArea* m_scroll;
    Content* m_content;
};

} // namespace vorlix
