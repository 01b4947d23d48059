#pragma once
// The favourite capture sizes of the "Scatti" page as removable tags ("1920 × 1080  ✕"),
// followed by a "+" that asks for a new size. The buttons are laid out in lines at most
// 300 points wide, each line ending at the right edge. Read from the settings on every
// change of the favourite sizes, whoever made it; nothing is kept between rebuilds.

#include <QPoint>
#include <QSize>
#include <QWidget>

#include <vector>

class QPushButton;

namespace vorlix {

class Settings;
struct SettingsServices;

// Buttons of `sizes`, in order, in lines of at most `width` with `gap` between buttons
// and between lines; every line right-aligned at `width`. A button wider than `width`
// gets a line of its own.
struct TagLayout {
    std::vector<QPoint> origins;
    int height = 0;
};
TagLayout layoutTags(const std::vector<QSize>& sizes, int width, int gap);

class CaptureSizeTags : public QWidget {
    Q_OBJECT

public:
    static constexpr int lineWidth = 300;
    static constexpr int gap = 1;

    CaptureSizeTags(Settings& settings, SettingsServices& services, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {lineWidth, m_contentHeight}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

    void reload();
    // The tag buttons in order, then "+".
    std::vector<QPushButton*> buttons() const;

private:
    void remove(int index);
    void add();

    Settings& m_settings;
    SettingsServices& m_services;
    int m_contentHeight = 0;
};

} // namespace vorlix
