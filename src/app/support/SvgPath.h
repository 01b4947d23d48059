#pragma once
// Reads the subset of SVG path data that the interface icons use into a QPainterPath,
// in the coordinates of the data (y pointing down, as in SVG).
//
// Commands: M L H V C S Z, upper case absolute and lower case relative to the current
// point. Numbers after a command repeat it, and the numbers after a move are lines. A
// number the command needs but cannot find counts as 0 and takes nothing; any other
// letter skips the token after it and the numbers that follow. Numbers are split at
// spaces, commas, a "-" and a second "." ("1.5.5" is 1.5 and 0.5); "e" is always a
// command, so exponents are not read. The path fills with the non-zero winding rule.
//
// Any text gives a path: parsing takes every token at most once and reads nothing
// outside the text.

#include <QPainterPath>
#include <QStringView>

namespace vorlix::SvgPath {

QPainterPath parse(QStringView data);

} // namespace vorlix::SvgPath
