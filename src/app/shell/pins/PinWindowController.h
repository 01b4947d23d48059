#pragma once
// Pinned images ("Leggio"): a rendering of a document in a small floating window of its
// own that stays above other programs' windows, on every desktop, until the user closes
// it. It never takes the focus. Its context menu sets the opacity (100 % to 20 %), copies
// the image, closes the pin, or makes it transparent to clicks: the image stays visible,
// clicks pass to the windows below, and a thin bar over the pin's title bar becomes the
// only part that reacts (drag it to move the pin; its buttons close or unlock the pin).
//
// `open()` lists every open pin and is the only owner that keeps pins alive: whoever
// makes a pin appends it and shows its window; a pin leaves the list when its window
// closes and is deleted on a later turn of the event loop. Main thread only.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QMenu;
class QWidget;

namespace vorlix {

class PinLockBar;
class PinWindow;

class PinWindowController : public QObject {
    Q_OBJECT

public:
    // The area a pin's size is measured against when there is no screen.
    static constexpr QSize fallbackArea{1200, 800};
    // A pin opens at most this part of the area's width and height.
    static constexpr double largestAreaFraction = 0.6;
    // The opacity a fully opaque pin takes while transparent to clicks.
    static constexpr double transparentOpacity = 0.6;
    static constexpr int smallestLockBarHeight = 24;

    // Makes the pin and its window, centred on the primary screen, without showing it.
    PinWindowController(const QImage& image, double pixelsPerPoint, const QString& title);
    ~PinWindowController() override;

    // Every open pin, in the order they were made.
    static std::vector<std::unique_ptr<PinWindowController>>& open();
    // Makes a pin, appends it to `open()` and shows its window.
    static PinWindowController& pin(const QImage& image, double pixelsPerPoint, const QString& title);
    // Makes every open pin that is transparent to clicks receive them again at full opacity;
    // the others keep their opacity.
    static void unlockAll();
    // Closes every open pin, in order.
    static void closeAll();

    // The size in points a pin opens at: the image's own size, made smaller (never larger)
    // to fit within 60 % of the area's width and height.
    static QSize openingSize(QSize pixels, double pixelsPerPoint, QSize area);

    // Shows the pin's window, on every desktop, without taking the focus.
    void show();

    const QImage& image() const { return m_image; }
    double pixelsPerPoint() const { return m_pixelsPerPoint; }
    // The pin's window; null once it is closed.
    QWidget* window() const;
    // The bar shown while the pin is transparent to clicks; null otherwise.
    QWidget* lockBar() const;
    // The image's context menu.
    QMenu* menu() const;
    bool isTransparentToClicks() const;

    // The context menu's actions.
    void setOpacity(int percent);
    void lockClicked();
    void copyImage();
    void closeWindow();

private:
    friend class PinWindow;
    void windowWillClose();
    void unlock();
    void showLockBar();
    void hideLockBar();
    void setTransparentToClicks(bool transparent);
    std::unique_ptr<QMenu> makeMenu();

    const QImage m_image;
    const QString m_title;
    const double m_pixelsPerPoint;
    std::unique_ptr<PinWindow> m_window;
    std::unique_ptr<QMenu> m_menu;
    QPointer<PinLockBar> m_lockBar;
};

} // namespace vorlix
