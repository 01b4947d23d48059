#include "app/support/SvgPath.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace vorlix;

namespace {

using Type = QPainterPath::ElementType;
constexpr Type M = QPainterPath::MoveToElement;
constexpr Type L = QPainterPath::LineToElement;
constexpr Type C = QPainterPath::CurveToElement;
constexpr Type D = QPainterPath::CurveToDataElement;

struct Element {
    Type type;
    double x;
    double y;
};

void expectElements(const QPainterPath& path, const std::vector<Element>& expected)
{
    ASSERT_EQ(path.elementCount(), int(expected.size()));
    for (int i = 0; i < path.elementCount(); ++i) {
        SCOPED_TRACE(testing::Message() << "element " << i);
        const QPainterPath::Element& e = path.elementAt(i);
        EXPECT_EQ(e.type, expected[i].type);
        EXPECT_NEAR(e.x, expected[i].x, 1e-9);
        EXPECT_NEAR(e.y, expected[i].y, 1e-9);
    }
}

} // namespace

TEST(SvgPath, ReadsTheCommandsOfTheIcons)
{
    struct Case {
        const char16_t* data;
        std::vector<Element> expected;
    };
    const Case cases[] = {
        {u"M6 18L18 6", {{M, 6, 18}, {L, 18, 6}}},
        {u"M10.6 10.2l1.9-1.4v7", {{M, 10.6, 10.2}, {L, 12.5, 8.8}, {L, 12.5, 15.8}}},
        {u"M4,12 H20", {{M, 4, 12}, {L, 20, 12}}},
        {u"M4 12H20", {{M, 4, 12}, {L, 20, 12}}},
        {u"M2 3h4v-1H1V9", {{M, 2, 3}, {L, 6, 3}, {L, 6, 2}, {L, 1, 2}, {L, 1, 9}}},
        // pairs after a move are lines, relative after a relative move
        {u"M 1 2 3 4", {{M, 1, 2}, {L, 3, 4}}},
        {u"m1 2 3 4 1 1", {{M, 1, 2}, {L, 4, 6}, {L, 5, 7}}},
        {u"M1 1m2 2L0 0", {{M, 3, 3}, {L, 0, 0}}}, // QPainterPath keeps only the last of two moves
        // numbers before any command move
        {u"12 34", {{M, 12, 34}}},
        // implicit repeats of a line
        {u"M0 0L1 1 2 2", {{M, 0, 0}, {L, 1, 1}, {L, 2, 2}}},
        // an S after a C reflects its second control point about the current point
        {u"M0 0C1 2 3 4 5 6S9 10 11 12",
         {{M, 0, 0}, {C, 1, 2}, {D, 3, 4}, {D, 5, 6}, {C, 7, 8}, {D, 9, 10}, {D, 11, 12}}},
        {u"M0 0c1 2 3 4 5 6s4 4 6 6", {{M, 0, 0}, {C, 1, 2}, {D, 3, 4}, {D, 5, 6}, {C, 7, 8}, {D, 9, 10}, {D, 11, 12}}},
        // ... and after anything else it starts at the current point
        {u"M0 0L5 6S9 10 11 12", {{M, 0, 0}, {L, 5, 6}, {C, 5, 6}, {D, 9, 10}, {D, 11, 12}}},
        {u"M0 0C1 2 3 4 5 6L7 8S9 10 11 12",
         {{M, 0, 0}, {C, 1, 2}, {D, 3, 4}, {D, 5, 6}, {L, 7, 8}, {C, 7, 8}, {D, 9, 10}, {D, 11, 12}}},
        // a close returns to the start of the subpath, where relative commands go on from
        {u"M2 3H5V7Zh1", {{M, 2, 3}, {L, 5, 3}, {L, 5, 7}, {L, 2, 3}, {M, 2, 3}, {L, 3, 3}}},
        // number splitting
        {u"M1.5.5", {{M, 1.5, 0.5}}},
        {u"M1-2", {{M, 1, -2}}},
        {u"M-.5-.5", {{M, -0.5, -0.5}}},
        {u"M+3 4", {{M, 3, 4}}},
        {u"M1..5", {{M, 1, 0.5}}},
        // missing numbers count as 0 and take nothing
        {u"M5 5L", {{M, 5, 5}, {L, 0, 0}}},
        {u"M5 5l2", {{M, 5, 5}, {L, 7, 5}}},
        {u"M1 2 3", {{M, 1, 2}, {L, 3, 0}}},
        {u"M7L1 1", {{M, 7, 0}, {L, 1, 1}}},
        // unknown commands skip the token after them and the numbers that follow
        {u"M1 2A3 4 5L6 7", {{M, 1, 2}, {L, 6, 7}}},
        {u"M1 2Q L6 7", {{M, 1, 2}}},
        {u"M1 2T", {{M, 1, 2}}},
        // "e" is a command, never an exponent
        {u"M1e5 2", {{M, 1, 0}}},
        // text that is no number is dropped
        {u"M1 2#3 4", {{M, 1, 4}}},
        {u"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.data).toStdString());
        expectElements(SvgPath::parse(QString::fromUtf16(c.data)), c.expected);
    }
}

TEST(SvgPath, PathsFillWithTheNonZeroRule) { EXPECT_EQ(SvgPath::parse(u"M0 0H4V4H0Z").fillRule(), Qt::WindingFill); }

TEST(SvgPath, MalformedDataEnds)
{
    // A number after a close would repeat the close forever if the close did not take it.
    expectElements(SvgPath::parse(u"M1 1H3Z5 5"), {{M, 1, 1}, {L, 3, 1}, {L, 1, 1}});
    expectElements(SvgPath::parse(u"z 1 2 3 L4 4"), {{M, 0, 0}, {L, 4, 4}});

    const char16_t* texts[] = {u"Z",
                               u"z1",
                               u"A",
                               u"Q1",
                               u"-",
                               u".",
                               u"...",
                               u"--1",
                               u"e",
                               u"1e",
                               u"M",
                               u"C",
                               u"S1",
                               u"ÄÖ1,2",
                               u"M1\u00a02",
                               u"M1e999",
                               u"M9999999999999999999999999999999999999"};
    for (const char16_t* text : texts) {
        SCOPED_TRACE(QString::fromUtf16(text).toStdString());
        EXPECT_LE(SvgPath::parse(QString::fromUtf16(text)).elementCount(), 8);
    }

    // Random commands, digits and separators: every parse ends, with at most a few
    // elements per character and only finite coordinates.
    const QString alphabet = QStringLiteral("MLHVCSZAQTmlhvcszaqte0123456789.-+, ");
    QRandomGenerator random(105);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int length = int(random.bounded(40));
        for (int i = 0; i < length; ++i)
            text += alphabet[int(random.bounded(alphabet.size()))];
        SCOPED_TRACE(text.toStdString());
        const QPainterPath path = SvgPath::parse(text);
        ASSERT_LE(path.elementCount(), 4 * length + 1);
        for (int i = 0; i < path.elementCount(); ++i)
            ASSERT_TRUE(std::isfinite(path.elementAt(i).x) && std::isfinite(path.elementAt(i).y));
    }
}
