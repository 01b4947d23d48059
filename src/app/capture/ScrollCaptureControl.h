#pragma once
// What the user sees while a scrolling capture collects frames: a dashed frame just outside
// the captured area, which lets every click and wheel turn through to the page below, and
// a small panel near the area with the height collected so far and the buttons "Annulla"
// and "Fatto". The capture loop shows it, updates the count after each frame, reads the
// two flags before each frame and hides it at the end.
//
// Neither window takes the focus, so the scrolled program keeps the keyboard. Escape,
// grabbed for as long as the control is shown, cancels as "Annulla" does: the panel can
// always be clicked, but a second way out must not depend on the pointer.
//
// The area is in points of its screen, origin at the screen's top-left corner; window
// placement is in global logical pixels. Main thread only.

#include "core/model/Geometry.h"
#include "platform/ScreenSource.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class QWidget;

namespace vorlix {

class ScrollCaptureControl : public QObject {
    Q_OBJECT
public:
    // The panel's size and its distance from the area, in points.
    static constexpr QSize panelSize{360, 44};
    static constexpr int panelGap = 12;
    // Width of the dashed frame, drawn wholly outside the area.
    static constexpr int borderWidth = 2;

    // Builds both windows without showing them.
    ScrollCaptureControl(const Rect& area, const ScreenInfo& screen);
    ~ScrollCaptureControl() override;
    ScrollCaptureControl(const ScrollCaptureControl&) = delete;
    ScrollCaptureControl& operator=(const ScrollCaptureControl&) = delete;

    // The frame first, then the panel, on top of every other window; Escape is grabbed.
    void show();
    // The panel first, then the frame; Escape is let go.
    void hide();
    // Shows the height collected: `rows` pixel rows at `pixelsPerPoint`, in whole points.
    void update(int rows, double pixelsPerPoint);
    // Keeps both windows above whatever the window manager raised meanwhile.
    void raise();

    // "Fatto": collecting ends after the frame under way.
    void finish();
    // "Annulla" (and Escape): as finish, and everything collected is dropped.
    void cancel();
    bool isFinished() const { return m_isFinished; }
    bool isCancelled() const { return m_isCancelled; }

    QWidget& panel() const { return *m_panel; }
    QWidget& frameWindow() const { return *m_frameWindow; }
    QString countText() const;
    // Whether the panel had to be placed over the area (no room around it): then it must
    // leave the screen while a frame is taken.
    bool panelCoversArea() const { return m_panelCoversArea; }

signals:
    // Emitted once, when either flag is first set.
    void finished();

private:
    void setFinished(bool cancelled);

    bool m_isFinished = false;
    bool m_isCancelled = false;
    bool m_panelCoversArea = false;
    std::unique_ptr<QWidget> m_frameWindow;
    std::unique_ptr<QWidget> m_panel;
    QLabel* m_label = nullptr;
    std::optional<std::uint32_t> m_escape; // the hot-key registration while shown
};

// The panel's top-left corner for an area (global logical pixels): centred under the area
// with `gap` between them, else above it, else beside it on the right or the left; moved
// into `available` (the screen without its panels and docks) so that it can always be
// reached. Where none of these has room, it lies over the area at the top.
QPoint scrollPanelPosition(const QRect& area, QSize panel, int gap, const QRect& available);
// The panel's text after `rows` pixel rows at `pixelsPerPoint`: the height in whole
// points, the fraction dropped.
QString scrollCountText(int rows, double pixelsPerPoint);
// The area in global logical pixels, grown outward to whole pixels.
QRect globalArea(const Rect& area, const ScreenInfo& screen);

} // namespace vorlix
