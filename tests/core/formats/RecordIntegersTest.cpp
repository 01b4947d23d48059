#include "core/formats/CaptureSize.h"
#include "core/formats/HistoryEntry.h"
#include "core/formats/HotkeyConfiguration.h"
#include "core/formats/UpdateInfo.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

template <class T>
T roundTrip(const T& value)
{
    const Json parsed = Json::parse(encodeJson(value).dump());
    return decodeJson<T>(JsonValue(parsed));
}

template <class I>
constexpr std::array<I, 2> extremes{std::numeric_limits<I>::min(), std::numeric_limits<I>::max()};

} // namespace

// Whatever a record can hold it writes, and what it writes it reads back.
TEST(FormatRecords, IntegerFieldsRoundTripAtTheirTypesExtremes)
{
    for (const std::int64_t n : extremes<std::int64_t>) {
        SCOPED_TRACE(n);
        const CaptureSize size{n, n, false};
        EXPECT_EQ(roundTrip(size), size);
        const UpdateInfo update{u"1.0"_s, n, std::nullopt, std::nullopt};
        EXPECT_EQ(roundTrip(update), update);
        HotkeyConfiguration hotkeys;
        hotkeys.bindings[HotkeyAction::captureArea] = {KeyCode::digit2, {n}};
        EXPECT_EQ(roundTrip(hotkeys), hotkeys);
    }
    for (const int n : extremes<int>) {
        SCOPED_TRACE(n);
        HistoryEntry entry;
        entry.id = QUuid::fromString(u"6f9619ff-8b86-d011-b42d-00c04fc964ff");
        entry.date = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), QTimeZone::utc());
        entry.formatVersion = n;
        entry.pixelWidth = n;
        entry.pixelHeight = n;
        EXPECT_EQ(roundTrip(entry), entry);
    }
    for (const std::uint32_t keyCode : extremes<std::uint32_t>) {
        SCOPED_TRACE(keyCode);
        HotkeyConfiguration hotkeys;
        hotkeys.bindings[HotkeyAction::captureArea] = {keyCode, KeyCombo::Modifiers::command};
        EXPECT_EQ(roundTrip(hotkeys), hotkeys);
    }
}
