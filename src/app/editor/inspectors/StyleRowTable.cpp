#include "app/editor/inspectors/StyleRowTable.h"

#include "app/support/Icon.h"

#include <QTextBoundaryFinder>

#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

using enum AnnotationKind;

bool within(const std::set<AnnotationKind>& kinds, std::initializer_list<AnnotationKind> allowed)
{
    if (kinds.empty())
        return false;
    const std::set<AnnotationKind> allowedSet(allowed);
    for (AnnotationKind kind : kinds)
        if (!allowedSet.contains(kind))
            return false;
    return true;
}

bool isExactly(const std::set<AnnotationKind>& kinds, AnnotationKind kind)
{
    return kinds.size() == 1 && *kinds.begin() == kind;
}

ChoiceAccess choiceOverBool(bool Style::*field) { return choiceOver(field, std::vector<bool>{false, true}); }

QStringList numberFormatLabels()
{
    QStringList labels;
    for (NumberFormat format : allCases<NumberFormat>())
        labels << QStringList{label(format, 1), label(format, 2), label(format, 3)}.join(u' ');
    return labels;
}

template <TextCodedEnum E>
std::vector<E> casesOf()
{
    const auto cases = allCases<E>();
    return {cases.begin(), cases.end()};
}

std::vector<StyleRow> numberRows()
{
    return {
        {SliderItem{.title = u"Dimensione"_s,
                    .field = &Style::fontSize,
                    .minimum = 10,
                    .maximum = 48,
                    .step = 1,
                    .actionName = u"Cambia dimensione dei numeri"_s},
         SeparatorItem{}, LabelItem{u"Parti da"_s}, SpecialItem::numberStartValue, SpecialItem::numberStartStepper},
        {LabelItem{u"Forma"_s},
         ChoiceItem{.labels = {u"Cerchio"_s, u"Goccia"_s},
                    .actionName = u"Cambia forma dei numeri"_s,
                    .access = choiceOver(&Style::numberShape, {NumberShape::circle, NumberShape::drop})},
         SeparatorItem{}, LabelItem{u"Numeri"_s},
         ChoiceItem{.labels = numberFormatLabels(),
                    .actionName = u"Cambia tipo di numeri"_s,
                    .access = choiceOver(&Style::numberFormat, casesOf<NumberFormat>())}},
    };
}

std::vector<StyleRow> stampRows()
{
    return {
        {StampButtonsItem{.first = 0, .count = 8}},
        {StampButtonsItem{.first = 8, .count = 8}},
        {SliderItem{.title = u"Dimensione"_s,
                    .field = &Style::fontSize,
                    .minimum = 16,
                    .maximum = 160,
                    .step = 1,
                    .actionName = u"Cambia dimensione dei timbri"_s},
         SeparatorItem{}, SpecialItem::otherStamp},
    };
}

std::vector<StyleRow> textRows(bool isCallout)
{
    std::vector<StyleRow> rows{
        {SpecialItem::fontPopup,
         SliderItem{.title = u"Dimensione"_s,
                    .field = &Style::fontSize,
                    .minimum = 10,
                    .maximum = 96,
                    .step = 1,
                    .actionName = u"Cambia dimensione del testo"_s},
         ToggleItem{.title = u"Grassetto"_s, .field = &Style::fontBold, .actionName = u"Cambia grassetto"_s},
         ToggleItem{.title = u"Contorno"_s,
                    .field = &Style::textOutline,
                    .actionName = u"Cambia contorno del testo"_s,
                    .tip = u"Bordo attorno alle lettere, chiaro o scuro per contrasto con il colore del testo"_s}},
        {ToggleItem{.title = u"Riquadro"_s,
                    .field = &Style::textBoxBorder,
                    .actionName = u"Cambia riquadro del testo"_s,
                    .tip = u"Rettangolo di contorno attorno al testo"_s},
         SeparatorItem{}, LabelItem{u"Sfondo"_s},
         ChoiceItem{.labels = {u"Nessuno"_s, u"Pieno"_s, u"Sfumato"_s},
                    .actionName = u"Cambia sfondo del testo"_s,
                    .access = choiceOver(&Style::fill, {FillMode::none, FillMode::solid, FillMode::gradient})},
         SpecialItem::backgroundPopup},
    };
    if (isCallout)
        rows.push_back({LabelItem{u"Allinea"_s},
                        ImageChoiceItem{
                            .images = {u"format-justify-left"_s, u"format-justify-center"_s, u"format-justify-right"_s},
                            .tips = {u"A sinistra"_s, u"Al centro"_s, u"A destra"_s},
                            .actionName = u"Cambia allineamento"_s,
                            .access = choiceOver(&Style::textAlignment,
                                                 {TextAlignment::left, TextAlignment::center, TextAlignment::right})}});
    return rows;
}

std::vector<StyleRow> highlighterRows()
{
    return {{
        ToggleItem{.title = u"Segue il testo"_s,
                   .field = &Style::followsText,
                   .actionName = u"Segue il testo"_s,
                   .tip = u"La riga si aggancia alla riga di testo sotto"_s},
        SeparatorItem{},
        SliderItem{.title = u"Spessore"_s,
                   .field = &Style::lineWidth,
                   .minimum = 6,
                   .maximum = 48,
                   .step = 1,
                   .actionName = u"Cambia spessore"_s},
        SeparatorItem{},
        SliderItem{.title = u"Copertura"_s,
                   .field = &Style::opacity,
                   .minimum = 0.1,
                   .maximum = 1,
                   .step = 0.05,
                   .format = SliderFormat::percent,
                   .actionName = u"Cambia copertura"_s},
    }};
}

std::vector<StyleRow> cursorRows()
{
    ImageChoiceItem shapes{.tips = {},
                           .actionName = u"Cambia cursore"_s,
                           .access = choiceOver(&Style::cursorShape, casesOf<CursorShape>())};
    for (CursorShape shape : casesOf<CursorShape>()) {
        shapes.images.emplace_back(shape);
        shapes.tips << title(shape);
    }
    return {
        {shapes},
        {ToggleItem{.title = u"Clic"_s,
                    .field = &Style::clickMark,
                    .actionName = u"Cambia segno del clic"_s,
                    .tip = u"Un cerchio attorno alla punta, come per un clic"_s},
         SeparatorItem{},
         SliderItem{.title = u"Dimensione"_s,
                    .field = &Style::fontSize,
                    .minimum = 12,
                    .maximum = 96,
                    .step = 1,
                    .actionName = u"Cambia dimensione del cursore"_s}},
    };
}

std::vector<StyleRow> pixelateRows()
{
    return {
        {LabelItem{u"Effetto"_s}, ChoiceItem{.labels = {u"Pixel"_s, u"Sfuma"_s},
                                             .actionName = u"Cambia effetto"_s,
                                             .access = choiceOverBool(&Style::pixelateAsBlur)}},
        {SliderItem{.title = u"Intensità"_s,
                    .field = &Style::filterIntensity,
                    .minimum = 3,
                    .maximum = 40,
                    .step = 1,
                    .actionName = u"Cambia intensità"_s},
         ToggleItem{.title = u"Casuale"_s,
                    .field = &Style::pixelateRandom,
                    .actionName = u"Pixelato casuale"_s,
                    .tip = u"Solo per i pixel: aggiunge un disturbo ai blocchi, così la pixelatura è più difficile da "
                           u"invertire"_s}},
    };
}

std::vector<StyleRow> lensRows()
{
    return {{
        SliderItem{.title = u"Bordo"_s,
                   .field = &Style::lineWidth,
                   .minimum = 1,
                   .maximum = 10,
                   .step = 1,
                   .actionName = u"Cambia bordo della lente"_s},
        SeparatorItem{},
        SliderItem{.title = u"Ingrandimento"_s,
                   .field = &Style::filterIntensity,
                   .minimum = 1.5,
                   .maximum = 10,
                   .step = 0.5,
                   .format = SliderFormat::magnification,
                   .actionName = u"Cambia ingrandimento"_s},
    }};
}

// One row shared by the stroked kinds; each group joins only for the kinds it suits.
StyleRow strokeRow(const std::set<AnnotationKind>& kinds)
{
    StyleRow row;
    if (within(kinds, {arrow, line, rectangle, ellipse, pencil, highlighter}))
        row.push_back(SliderItem{.title = u"Spessore"_s,
                                 .field = &Style::lineWidth,
                                 .minimum = 1,
                                 .maximum = 30,
                                 .step = 1,
                                 .actionName = u"Cambia spessore"_s});
    if (isExactly(kinds, arrow)) {
        row.push_back(SeparatorItem{});
        row.push_back(
            ImageChoiceItem{.images = {&Icon::headFilled(), &Icon::headOpen(), &Icon::headOutline()},
                            .tips = {u"Punta piena"_s, u"Punta aperta"_s, u"Punta solo contorno"_s},
                            .actionName = u"Cambia punta"_s,
                            .access = choiceOver(&Style::arrowHeadStyle, {ArrowHeadStyle::filled, ArrowHeadStyle::open,
                                                                          ArrowHeadStyle::outline})});
        row.push_back(ImageChoiceItem{.images = {&Icon::arrowSingle(), &Icon::arrowDouble()},
                                      .tips = {u"Punta singola"_s, u"Doppia punta"_s},
                                      .actionName = u"Cambia estremi"_s,
                                      .access = choiceOverBool(&Style::arrowDoubleHead)});
    }
    if (within(kinds, {arrow, line, rectangle, ellipse, pencil})) {
        row.push_back(SeparatorItem{});
        row.push_back(LabelItem{u"Tratto"_s});
        row.push_back(ImageChoiceItem{.images = {&Icon::strokeSolid(), &Icon::strokeDashed()},
                                      .tips = {u"Tratto continuo"_s, u"Tratto tratteggiato"_s},
                                      .actionName = u"Cambia tratto"_s,
                                      .access = choiceOverBool(&Style::dashed)});
        if (isExactly(kinds, line)) {
            row.push_back(LabelItem{u"Estremi"_s});
            row.push_back(ImageChoiceItem{.images = {&Icon::lineEndsPlain(), &Icon::lineEndsDots()},
                                          .tips = {u"Estremi lisci"_s, u"Un pallino a ogni estremo"_s},
                                          .actionName = u"Cambia estremi"_s,
                                          .access = choiceOverBool(&Style::lineDots)});
        }
        row.push_back(SeparatorItem{});
        row.push_back(
            ToggleItem{.title = u"Contorno"_s,
                       .field = &Style::shapeOutline,
                       .actionName = u"Cambia contorno"_s,
                       .tip = u"Bordo attorno alla forma, bianco o nero: quello che contrasta di più con il colore"_s});
        row.push_back(ToggleItem{.title = u"Gesso"_s,
                                 .field = &Style::chalk,
                                 .actionName = u"Cambia stile gesso"_s,
                                 .tip = u"Tratto a gesso: bordi irregolari e grana, come sulla lavagna"_s});
    }
    if (isExactly(kinds, line))
        row.push_back(ToggleItem{
            .title = u"Misura"_s,
            .field = &Style::showsMeasure,
            .actionName = u"Cambia misura"_s,
            .tip = u"Scrive sulla linea la sua lunghezza in pixel dell'immagine, con una tacca a ogni estremo"_s});
    if (within(kinds, {rectangle, ellipse})) {
        row.push_back(SeparatorItem{});
        row.push_back(ChoiceItem{.labels = {u"Nessuno"_s, u"Velato"_s, u"Pieno"_s, u"Sfumato"_s},
                                 .actionName = u"Cambia riempimento"_s,
                                 .access = choiceOver(&Style::fill, {FillMode::none, FillMode::translucent,
                                                                     FillMode::solid, FillMode::gradient})});
    }
    return row;
}

std::vector<StyleRow> rowsOfKind(AnnotationKind kind)
{
    switch (kind) {
    case number:
        return numberRows();
    case stamp:
        return stampRows();
    case text:
        return textRows(false);
    case callout:
        return textRows(true);
    case highlighter:
        return highlighterRows();
    case cursor:
        return cursorRows();
    case pixelate:
        return pixelateRows();
    case blur:
        return {{SliderItem{.title = u"Intensità"_s,
                            .field = &Style::filterIntensity,
                            .minimum = 2,
                            .maximum = 40,
                            .step = 1,
                            .actionName = u"Cambia sfocatura"_s}}};
    case spotlight:
        return {{SliderItem{.title = u"Oscurità"_s,
                            .field = &Style::filterIntensity,
                            .minimum = 0.2,
                            .maximum = 0.9,
                            .step = 0.05,
                            .format = SliderFormat::percent,
                            .actionName = u"Cambia oscurità"_s}}};
    case lens:
        return lensRows();
    case arrow:
    case line:
    case rectangle:
    case ellipse:
    case pencil:
        break;
    }
    return {};
}

} // namespace

QString formatSliderValue(SliderFormat format, double value)
{
    switch (format) {
    case SliderFormat::integer:
        return QString::number(std::llround(value));
    case SliderFormat::percent:
        return QString::number(std::llround(value * 100)) + u'%';
    case SliderFormat::magnification:
        return QString::asprintf("%.1f", value) + u'×';
    }
    return {};
}

ChoiceAccess backgroundColorAccess(std::function<Palette()> palette)
{
    return {
        .get =
            [palette](const Style& style) {
                if (!style.fillColor)
                    return 0;
                const std::vector<RGBAColor> colors = palette().colors;
                for (std::size_t i = 0; i < colors.size(); ++i)
                    if (colors[i] == *style.fillColor)
                        return int(i) + 1;
                return 0;
            },
        .set =
            [palette](Style& style, int index) {
                if (index <= 0) {
                    style.fillColor.reset();
                    return;
                }
                const std::vector<RGBAColor> colors = palette().colors;
                if (std::size_t(index) <= colors.size())
                    style.fillColor = colors[std::size_t(index) - 1];
            },
    };
}

std::vector<StyleRow> styleRows(const std::set<AnnotationKind>& kinds)
{
    if (kinds.size() == 1) {
        std::vector<StyleRow> rows = rowsOfKind(*kinds.begin());
        if (!rows.empty())
            return rows;
    }
    StyleRow stroke = strokeRow(kinds);
    if (stroke.empty())
        return {};
    return {std::move(stroke)};
}

QString describe(const StyleRowItem& item)
{
    struct Describe {
        QString operator()(const SliderItem& s) const { return s.title; }
        QString operator()(const ToggleItem& t) const { return t.title; }
        QString operator()(const ChoiceItem& c) const { return c.labels.join(u'/'); }
        QString operator()(const ImageChoiceItem& c) const { return c.tips.join(u'/'); }
        QString operator()(const LabelItem& l) const { return l.text; }
        QString operator()(const SeparatorItem&) const { return u"|"_s; }
        QString operator()(const StampButtonsItem& s) const
        {
            return stampCatalogue().mid(s.first, s.count).join(QString());
        }
        QString operator()(SpecialItem s) const
        {
            switch (s) {
            case SpecialItem::fontPopup:
                return u"[carattere]"_s;
            case SpecialItem::backgroundPopup:
                return u"[sfondo]"_s;
            case SpecialItem::numberStartValue:
                return u"[numero]"_s;
            case SpecialItem::numberStartStepper:
                return u"[parti da]"_s;
            case SpecialItem::otherStamp:
                return u"Altro…"_s;
            }
            return {};
        }
    };
    return std::visit(Describe{}, item);
}

const QStringList& stampCatalogue()
{
    static const QStringList stamps{u"✅"_s, u"❌"_s, u"⚠️"_s, u"❓"_s, u"❗️"_s, u"👍"_s, u"👎"_s, u"⭐️"_s,
                                    u"💡"_s, u"🔥"_s, u"👉"_s,      u"👀"_s, u"❤️"_s, u"🚫"_s, u"🎯"_s, u"🆕"_s};
    return stamps;
}

QString leadingGraphemes(const QString& text, int count)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int taken = 0; taken < count; ++taken) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            break;
        end = next;
    }
    return text.left(end);
}

} // namespace vorlix
