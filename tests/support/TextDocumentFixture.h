#pragma once
// A document of one panel holding three lines of dark text on white, for tests of region
// renders and of what reads text in them.

#include "core/shapes/TextLayout.h"
#include "support/RenderFixtures.h"

#include <QPainter>

namespace vorlix::test {

// A 2-pixels-per-point panel of dark text lines on white, at (10, 20).
struct TextDocument {
    DocumentModel doc;
    TestImages images;
    std::vector<double> lineCentres; // canvas y

    TextDocument()
    {
        QImage picture(800, 400, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        Style style;
        style.strokeColor = RGBAColor::black();
        style.fontSize = 28;
        style.fontBold = false;
        for (int i = 0; i < 3; ++i) {
            const double top = 40 + i * 110;
            TextLayout::draw(QStringLiteral("Riga di testo numero %1").arg(i + 1), style, {40, top}, painter);
            const Size size = TextLayout::size(QStringLiteral("Riga"), style, std::nullopt);
            lineCentres.push_back(20 + (top + size.height / 2) / 2);
        }
        painter.end();
        Panel panel = imagePanel(1, {10, 20}, {800, 400}, 2);
        doc.panels = {panel};
        images.add(panel.imageID, picture);
    }
};

} // namespace vorlix::test
