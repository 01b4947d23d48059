#pragma once
// A row of joined buttons of which at most one is selected: the inspectors' choice of
// one option among a few, shown as words or pictures. Only a click reports
// (`activated`); choosing a segment in code says nothing.

#include <QIcon>
#include <QString>
#include <QWidget>

#include <vector>

class QButtonGroup;
class QToolButton;

namespace vorlix {

class SegmentedControl : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedControl(QWidget* parent = nullptr);

    // Appends a segment; its index.
    int addSegment(const QString& text, const QIcon& icon = {}, const QString& toolTip = {});
    int count() const { return int(m_segments.size()); }
    QToolButton* segment(int index) const { return m_segments.at(std::size_t(index)); }
    // The selected segment, -1 when none is.
    int selectedSegment() const;
    // An index out of range selects none.
    void setSelectedSegment(int index);
    void setSegmentWidth(int width);
    void setIconSize(QSize size);

signals:
    void activated(int index);

private:
    QButtonGroup* m_group;
    std::vector<QToolButton*> m_segments;
    int m_segmentWidth = 0;
    QSize m_iconSize;
};

} // namespace vorlix
