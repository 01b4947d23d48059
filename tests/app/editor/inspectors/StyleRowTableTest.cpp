#include "app/editor/inspectors/StyleRowTable.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace vorlix {
namespace {

using enum AnnotationKind;

// Each row as its items' descriptions joined by ", ".
QStringList summary(const std::set<AnnotationKind>& kinds)
{
    QStringList rows;
    for (const StyleRow& row : styleRows(kinds)) {
        QStringList items;
        for (const StyleRowItem& item : row)
            items << describe(item);
        rows << items.join(u", "_s);
    }
    return rows;
}

TEST(StyleRowTable, EachSetOfKindsGetsItsRowsInOrder)
{
    const QString stroke = u"Spessore, |, Tratto, Tratto continuo/Tratto tratteggiato, |, Contorno, Gesso"_s;
    struct Case {
        std::set<AnnotationKind> kinds;
        QStringList rows;
    };
    const Case cases[] = {
        {{arrow},
         {u"Spessore, |, Punta piena/Punta aperta/Punta solo contorno, Punta singola/Doppia punta, |, Tratto, "
          u"Tratto continuo/Tratto tratteggiato, |, Contorno, Gesso"_s}},
        {{line},
         {u"Spessore, |, Tratto, Tratto continuo/Tratto tratteggiato, Estremi, Estremi lisci/Un pallino a ogni "
          u"estremo, |, Contorno, Gesso, Misura"_s}},
        {{rectangle}, {stroke + u", |, Nessuno/Velato/Pieno/Sfumato"_s}},
        {{ellipse}, {stroke + u", |, Nessuno/Velato/Pieno/Sfumato"_s}},
        {{pencil}, {stroke}},
        {{arrow, rectangle}, {stroke}},
        {{rectangle, ellipse}, {stroke + u", |, Nessuno/Velato/Pieno/Sfumato"_s}},
        {{arrow, highlighter}, {u"Spessore"_s}},
        {{arrow, text}, {}},
        {{}, {}},
        {{text},
         {u"[carattere], Dimensione, Grassetto, Contorno"_s,
          u"Riquadro, |, Sfondo, Nessuno/Pieno/Sfumato, [sfondo]"_s}},
        {{callout},
         {u"[carattere], Dimensione, Grassetto, Contorno"_s, u"Riquadro, |, Sfondo, Nessuno/Pieno/Sfumato, [sfondo]"_s,
          u"Allinea, A sinistra/Al centro/A destra"_s}},
        {{text, callout}, {}},
        {{highlighter}, {u"Segue il testo, |, Spessore, |, Copertura"_s}},
        {{number},
         {u"Dimensione, |, Parti da, [numero], [parti da]"_s,
          u"Forma, Cerchio/Goccia, |, Numeri, 1 2 3/I II III/A B C/a b c"_s}},
        {{stamp},
         {u"✅❌⚠️❓❗️👍👎⭐️"_s, u"💡🔥👉👀❤️🚫🎯🆕"_s,
          u"Dimensione, |, Altro…"_s}},
        {{cursor},
         {u"Freccia/Freccia bianca/Mano che indica/Testo/Ridimensiona in orizzontale/Ridimensiona in verticale/Mano "
          u"che trascina"_s,
          u"Clic, |, Dimensione"_s}},
        {{pixelate}, {u"Effetto, Pixel/Sfuma"_s, u"Intensità, Casuale"_s}},
        {{blur}, {u"Intensità"_s}},
        {{spotlight}, {u"Oscurità"_s}},
        {{lens}, {u"Bordo, |, Ingrandimento"_s}},
    };
    for (const Case& c : cases) {
        QStringList names;
        for (AnnotationKind kind : c.kinds)
            names << displayName(kind);
        SCOPED_TRACE(names.join(u", "_s).toStdString());
        EXPECT_EQ(summary(c.kinds), c.rows);
    }
}

// Every control with the field it writes, its range and its step name, as the user meets it.
TEST(StyleRowTable, SlidersCoverTheirFieldsWithTheirRangesAndStepNames)
{
    struct Case {
        AnnotationKind kind;
        double Style::*field;
        double minimum, maximum, step;
        SliderFormat format;
        QString actionName;
    };
    const Case cases[] = {
        {number, &Style::fontSize, 10, 48, 1, SliderFormat::integer, u"Cambia dimensione dei numeri"_s},
        {stamp, &Style::fontSize, 16, 160, 1, SliderFormat::integer, u"Cambia dimensione dei timbri"_s},
        {text, &Style::fontSize, 10, 96, 1, SliderFormat::integer, u"Cambia dimensione del testo"_s},
        {callout, &Style::fontSize, 10, 96, 1, SliderFormat::integer, u"Cambia dimensione del testo"_s},
        {highlighter, &Style::lineWidth, 6, 48, 1, SliderFormat::integer, u"Cambia spessore"_s},
        {highlighter, &Style::opacity, 0.1, 1, 0.05, SliderFormat::percent, u"Cambia copertura"_s},
        {cursor, &Style::fontSize, 12, 96, 1, SliderFormat::integer, u"Cambia dimensione del cursore"_s},
        {pixelate, &Style::filterIntensity, 3, 40, 1, SliderFormat::integer, u"Cambia intensità"_s},
        {blur, &Style::filterIntensity, 2, 40, 1, SliderFormat::integer, u"Cambia sfocatura"_s},
        {spotlight, &Style::filterIntensity, 0.2, 0.9, 0.05, SliderFormat::percent, u"Cambia oscurità"_s},
        {lens, &Style::lineWidth, 1, 10, 1, SliderFormat::integer, u"Cambia bordo della lente"_s},
        {lens, &Style::filterIntensity, 1.5, 10, 0.5, SliderFormat::magnification, u"Cambia ingrandimento"_s},
        {arrow, &Style::lineWidth, 1, 30, 1, SliderFormat::integer, u"Cambia spessore"_s},
        {pencil, &Style::lineWidth, 1, 30, 1, SliderFormat::integer, u"Cambia spessore"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(displayName(c.kind).toStdString() + " " + c.actionName.toStdString());
        std::vector<SliderItem> sliders;
        for (const StyleRow& row : styleRows({c.kind}))
            for (const StyleRowItem& item : row)
                if (const auto* slider = std::get_if<SliderItem>(&item); slider && slider->field == c.field)
                    sliders.push_back(*slider);
        ASSERT_EQ(sliders.size(), 1u);
        EXPECT_EQ(sliders[0].minimum, c.minimum);
        EXPECT_EQ(sliders[0].maximum, c.maximum);
        EXPECT_EQ(sliders[0].step, c.step);
        EXPECT_EQ(sliders[0].format, c.format);
        EXPECT_EQ(sliders[0].actionName, c.actionName);
    }
}

TEST(StyleRowTable, EveryChoiceReadsBackThePositionItWrote)
{
    for (AnnotationKind kind : allCases<AnnotationKind>())
        for (const StyleRow& row : styleRows({kind}))
            for (const StyleRowItem& item : row) {
                const ChoiceAccess* access = nullptr;
                int count = 0;
                if (const auto* choice = std::get_if<ChoiceItem>(&item)) {
                    access = &choice->access;
                    count = int(choice->labels.size());
                } else if (const auto* images = std::get_if<ImageChoiceItem>(&item)) {
                    access = &images->access;
                    count = int(images->images.size());
                    EXPECT_EQ(images->tips.size(), count);
                }
                if (!access)
                    continue;
                SCOPED_TRACE(displayName(kind).toStdString() + " " + describe(item).toStdString());
                for (int i = count - 1; i >= 0; --i) {
                    Style style = Style::defaults(kind);
                    access->set(style, i);
                    EXPECT_EQ(access->get(style), i);
                }
            }
}

TEST(StyleRowTable, ChoicesMapValuesToTheirPositions)
{
    const auto choiceOf = [](AnnotationKind kind, const QString& description) -> ChoiceAccess {
        for (const StyleRow& row : styleRows({kind}))
            for (const StyleRowItem& item : row)
                if (describe(item) == description) {
                    if (const auto* choice = std::get_if<ChoiceItem>(&item))
                        return choice->access;
                    if (const auto* images = std::get_if<ImageChoiceItem>(&item))
                        return images->access;
                }
        ADD_FAILURE() << description.toStdString();
        return {};
    };

    // A text cannot show a translucent background: it reads as "Nessuno" and the value stays.
    Style style = Style::defaults(text);
    style.fill = FillMode::translucent;
    EXPECT_EQ(choiceOf(text, u"Nessuno/Pieno/Sfumato"_s).get(style), 0);
    EXPECT_EQ(style.fill, FillMode::translucent);

    const ChoiceAccess fill = choiceOf(rectangle, u"Nessuno/Velato/Pieno/Sfumato"_s);
    fill.set(style, 1);
    EXPECT_EQ(style.fill, FillMode::translucent);
    fill.set(style, 2);
    EXPECT_EQ(style.fill, FillMode::solid);
    fill.set(style, 9); // not a position of the list: nothing changes
    EXPECT_EQ(style.fill, FillMode::solid);

    choiceOf(pixelate, u"Pixel/Sfuma"_s).set(style, 1);
    EXPECT_TRUE(style.pixelateAsBlur);
    choiceOf(cursor, u"Freccia/Freccia bianca/Mano che indica/Testo/Ridimensiona in orizzontale/Ridimensiona in "
                     u"verticale/Mano che trascina"_s)
        .set(style, 5);
    EXPECT_EQ(style.cursorShape, CursorShape::resizeVertical);
}

TEST(StyleRowTable, TextBackgroundIsAutomaticOrAColourOfThePaletteReadAtThatMoment)
{
    Palette palette = Palette::standard();
    const ChoiceAccess access = backgroundColorAccess([&palette] { return palette; });
    Style style = Style::defaults(text);
    EXPECT_EQ(access.get(style), 0);

    access.set(style, 3);
    EXPECT_EQ(style.fillColor, palette[2]);
    EXPECT_EQ(access.get(style), 3);

    style.fillColor = RGBAColor{0.1, 0.2, 0.3, 1}; // not in the palette: shown as automatic, kept
    EXPECT_EQ(access.get(style), 0);
    EXPECT_EQ(style.fillColor, (RGBAColor{0.1, 0.2, 0.3, 1}));

    palette[4] = RGBAColor{0.5, 0.5, 0.5, 1}; // the palette changed since the pop-up was made
    access.set(style, 5);
    EXPECT_EQ(style.fillColor, (RGBAColor{0.5, 0.5, 0.5, 1}));
    access.set(style, 0);
    EXPECT_EQ(style.fillColor, std::nullopt);
}

TEST(StyleRowTable, SliderValuesAreWrittenInTheirFormat)
{
    struct Case {
        SliderFormat format;
        double value;
        QString expected;
    };
    const Case cases[] = {
        {SliderFormat::integer, 12.4, u"12"_s},        {SliderFormat::integer, 12.5, u"13"_s},
        {SliderFormat::percent, 0.35, u"35%"_s},       {SliderFormat::percent, 1, u"100%"_s},
        {SliderFormat::magnification, 2.5, u"2.5×"_s}, {SliderFormat::magnification, 10, u"10.0×"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatSliderValue(c.format, c.value), c.expected);
    }
}

TEST(StyleRowTable, LeadingGraphemesKeepComposedCharactersWhole)
{
    struct Case {
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {u"🔥👍✅🎯"_s, u"🔥👍✅"_s},
        {u"👨‍👩‍👧‍👦👍🏽🇮🇹x"_s,
         u"👨‍👩‍👧‍👦👍🏽🇮🇹"_s}, // a family, a skin tone and a flag are one each
        {u"e\u0301ab"_s, u"e\u0301ab"_s},
        {u"ok"_s, u"ok"_s},
        {u""_s, u""_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(leadingGraphemes(c.text, 3), c.expected);
    }
}

} // namespace
} // namespace vorlix
