#pragma once
// The style rows of the property bar as data: for a set of annotation kinds, the rows
// below the head row and, in each row, its items in order. The bar turns each item into
// a control with its binding; which items exist, what they are titled and which field of
// the style they change is decided here alone, so it can be read and tested as a table.

#include "core/model/AnnotationKind.h"
#include "core/model/Style.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <set>
#include <variant>
#include <vector>

namespace vorlix {

struct Icon;

// How a slider's value label writes the value.
enum class SliderFormat {
    integer,       // rounded to the nearest integer: 12.4 → "12"
    percent,       // times 100, rounded, with "%": 0.35 → "35%"
    magnification, // one decimal and the multiplication sign: 2.5 → "2.5×"
};
QString formatSliderValue(SliderFormat format, double value);

// Reading and writing of a choice: the position of the style's value in the choice's
// list (0 when it is not there), and the value at a position stored into the style.
struct ChoiceAccess {
    std::function<int(const Style&)> get;
    std::function<void(Style&, int)> set;
};

// A choice over the listed values of one style field.
template <class T>
ChoiceAccess choiceOver(T Style::*field, std::vector<T> values)
{
    return {
        .get =
            [field, values](const Style& style) {
                for (std::size_t i = 0; i < values.size(); ++i)
                    if (style.*field == values[i])
                        return int(i);
                return 0;
            },
        .set =
            [field, values](Style& style, int index) {
                if (index >= 0 && std::size_t(index) < values.size())
                    style.*field = values[std::size_t(index)];
            },
    };
}

// The text background pop-up: "Automatico" (no colour of its own) at 0, then the palette's
// colours. A colour not in the palette reads as "Automatico" and stays until one is chosen.
// The palette is read at each reading and writing, so a changed palette is never indexed
// by an older list.
ChoiceAccess backgroundColorAccess(std::function<Palette()> palette);

// What a segment of an image choice shows.
using RowImage = std::variant<const Icon*, QString /* icon-theme name of a text alignment */, CursorShape>;

struct SliderItem {
    QString title;
    double Style::*field;
    double minimum;
    double maximum;
    double step;
    SliderFormat format = SliderFormat::integer;
    QString actionName;
};

struct ToggleItem {
    QString title;
    bool Style::*field;
    QString actionName;
    QString tip = {}; // empty: no tool tip
};

struct ChoiceItem {
    QStringList labels;
    QString actionName;
    ChoiceAccess access;
};

struct ImageChoiceItem {
    std::vector<RowImage> images = {};
    QStringList tips;
    QString actionName;
    ChoiceAccess access;
};

struct LabelItem {
    QString text;
};

struct SeparatorItem {};

// Stamp buttons for the stamps [first, first + count) of the catalogue.
struct StampButtonsItem {
    int first;
    int count;
};

// Controls that act directly instead of through a style binding, or that the bar makes
// with functions of its own.
enum class SpecialItem {
    fontPopup,
    backgroundPopup,
    numberStartValue,   // the label with the number the numbering starts from
    numberStartStepper, // "Parti da"
    otherStamp,         // "Altro…"
};

using StyleRowItem = std::variant<SliderItem, ToggleItem, ChoiceItem, ImageChoiceItem, LabelItem, SeparatorItem,
                                  StampButtonsItem, SpecialItem>;
using StyleRow = std::vector<StyleRowItem>;

// The rows for the kinds being drawn or selected, without the head row (presets and
// "Ripristina"). A row is never empty.
std::vector<StyleRow> styleRows(const std::set<AnnotationKind>& kinds);

// A short text for an item: a slider's or toggle's title, a choice's labels or an image
// choice's tips joined by "/", a label's text, "|" for a separator and the name of the
// special control. Used to show the rows in test failures and to find an item by name.
QString describe(const StyleRowItem& item);

// The sixteen stamps offered as buttons, in order.
const QStringList& stampCatalogue();

// The first `count` user-perceived characters of `text` (a composed emoji is one).
QString leadingGraphemes(const QString& text, int count);

} // namespace vorlix
