#pragma once
// Trimming of the horizontal white space that users type around names and numbers:
// spaces of every kind (Unicode space separators, no-break space included) and tabs.
// Line breaks are kept.

#include <QString>
#include <QStringView>

namespace vorlix {

inline bool isHorizontalWhitespace(QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; }

inline QStringView trimmedHorizontalWhitespace(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isHorizontalWhitespace(text[begin]))
        ++begin;
    while (end > begin && isHorizontalWhitespace(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace vorlix
