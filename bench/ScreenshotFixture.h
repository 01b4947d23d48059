#pragma once
// A generated picture that compresses like a real desktop screenshot: a wallpaper
// gradient, windows with title bars, sidebars, lines of anti-aliased text in several
// colours, buttons, icons and a smooth photo-like area. Deterministic; needs a
// QGuiApplication with fonts.

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>

namespace vorlix::bench {

inline QImage screenshotFixture(int width = 5120, int height = 2880)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient wallpaper(0, 0, width, height);
    wallpaper.setColorAt(0, QColor(32, 74, 135));
    wallpaper.setColorAt(0.5, QColor(120, 60, 140));
    wallpaper.setColorAt(1, QColor(230, 120, 60));
    p.fillRect(image.rect(), wallpaper);

    // A photo-like area: smooth shapes and soft light, no noise.
    const QRect photo(width * 3 / 5, height / 12, width / 3, height / 3);
    p.fillRect(photo, QColor(70, 110, 160));
    for (int i = 0; i < 12; ++i) {
        QRadialGradient light(photo.x() + (i * 397) % photo.width(), photo.y() + (i * 263) % photo.height(),
                              photo.width() / 4.0);
        light.setColorAt(0, QColor::fromHsv((i * 37) % 360, 120, 230, 200));
        light.setColorAt(1, QColor(0, 0, 0, 0));
        p.fillRect(photo, light);
    }

    QFont ui(QStringLiteral("DejaVu Sans"));
    ui.setPixelSize(26);
    QFont code(QStringLiteral("DejaVu Sans Mono"));
    code.setPixelSize(24);
    const QColor syntax[] = {QColor(30, 30, 30), QColor(0, 92, 197), QColor(215, 58, 73), QColor(34, 134, 58),
                             QColor(111, 66, 193)};
    const char* words[] = {"const",   "auto", "image", "return", "panel", "canvas", "ritaglia", "salva",
                           "esporta", "for",  "if",    "QImage", "width", "height", "0.5",      "nullptr"};

    const QRect windows[] = {{width / 20, height / 10, width / 2, height * 3 / 4},
                             {width * 3 / 5, height / 2, width / 3, height * 2 / 5}};
    int seed = 1;
    for (const QRect& w : windows) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 60));
        p.drawRoundedRect(w.translated(8, 12), 14, 14);
        p.setBrush(QColor(250, 250, 250));
        p.drawRoundedRect(w, 14, 14);
        p.fillRect(QRect(w.x(), w.y(), w.width(), 64), QColor(236, 236, 238));
        const QColor lights[] = {QColor(255, 95, 87), QColor(254, 188, 46), QColor(40, 200, 64)};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(lights[i]);
            p.drawEllipse(QPoint(w.x() + 30 + i * 34, w.y() + 32), 11, 11);
        }
        const QRect sidebar(w.x(), w.y() + 64, w.width() / 5, w.height() - 64);
        p.fillRect(sidebar, QColor(242, 242, 247));
        p.setFont(ui);
        for (int i = 0; i * 52 + 90 < sidebar.height(); ++i) {
            p.setBrush(QColor::fromHsv((i * 47) % 360, 160, 220));
            p.setPen(Qt::NoPen);
            p.drawRoundedRect(sidebar.x() + 20, sidebar.y() + 20 + i * 52, 30, 30, 7, 7);
            p.setPen(QColor(60, 60, 67));
            p.drawText(sidebar.x() + 64, sidebar.y() + 44 + i * 52, QStringLiteral("Cartella %1").arg(i + 1));
        }
        p.setFont(code);
        const QFontMetrics m(code);
        for (int line = 0; line * 34 + 120 < w.height(); ++line) {
            int x = sidebar.right() + 30 + (line % 5) * 48;
            for (int word = 0; word < 9 && x < w.right() - 200; ++word) {
                seed = (seed * 1103515245 + 12345) & 0x7fffffff;
                const QString text = QString::fromLatin1(words[(seed >> 8) % 16]);
                p.setPen(syntax[(seed >> 4) % 5]);
                p.drawText(x, w.y() + 110 + line * 34, text);
                x += m.horizontalAdvance(text) + m.horizontalAdvance(u' ');
            }
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 122, 255));
        p.drawRoundedRect(w.right() - 220, w.bottom() - 80, 180, 50, 10, 10);
        p.setPen(Qt::white);
        p.setFont(ui);
        p.drawText(QRect(w.right() - 220, w.bottom() - 80, 180, 50), Qt::AlignCenter, QStringLiteral("Salva"));
    }
    p.end();
    return image;
}

} // namespace vorlix::bench
