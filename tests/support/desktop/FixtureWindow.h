#pragma once
// A plain top-level window that shows a known picture at a known place on the desktop, for
// tests that capture, pick or click windows. Its client area is exactly the picture, at
// `topLeft` in root coordinates when no window manager moves it.

#include <QImage>
#include <QPoint>
#include <QRasterWindow>

namespace vorlix::test {

class FixtureWindow : public QRasterWindow {
public:
    FixtureWindow(const QImage& picture, QPoint topLeft, const QString& title);

    // Shows the window and waits until it is on screen; false when it is not in time.
    bool showAndWait();
    // A picture of four coloured quadrants (red, green, blue, white), easy to recognise
    // in a capture.
    static QImage quadrants(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    bool m_painted = false;
};

} // namespace vorlix::test
