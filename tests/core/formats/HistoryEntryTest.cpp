#include "core/formats/HistoryEntry.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace vorlix;
using namespace Qt::StringLiterals;

namespace {

const QUuid shotID = QUuid::fromString(u"6f9619ff-8b86-d011-b42d-00c04fc964ff");

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), QTimeZone::utc());
}

HistoryEntry fullEntry()
{
    HistoryEntry e;
    e.id = shotID;
    e.date = utc(2024, 3, 5, 14, 7, 9);
    e.captureKind = CaptureKind::scrolling;
    e.pixelWidth = 2560;
    e.pixelHeight = 9000;
    e.pixelsPerPoint = 2;
    e.sourceAppName = u"Editor di testo"_s;
    e.sourceAppBundleID = u"org.example.Editor"_s;
    e.sourceWindowTitle = u"Città — «bozza» \"1\""_s;
    e.recognizedText = u"riga uno\nriga due"_s;
    return e;
}

std::vector<std::string> keysOf(const std::string& json)
{
    const Json parsed = Json::parse(json);
    std::vector<std::string> keys;
    for (auto it = parsed.begin(); it != parsed.end(); ++it)
        keys.push_back(it.key());
    return keys;
}

} // namespace

TEST(HistoryEntry, EncodesCompactSortedJsonAndLeavesOutEmptyTexts)
{
    HistoryEntry e = fullEntry();
    e.date = utc(2024, 3, 5, 14, 7, 9, 870); // fractions are dropped, not rounded
    e.sourceAppBundleID.reset();
    e.recognizedText.reset();
    e.fileURL = u"/tmp/shot.png"_s;
    const std::string json = encodeHistoryEntry(e);

    EXPECT_EQ(json.find('\n'), std::string::npos);
    EXPECT_EQ(json.find(": "), std::string::npos);
    EXPECT_EQ(keysOf(json),
              (std::vector<std::string>{"captureKind", "date", "formatVersion", "id", "pixelHeight", "pixelWidth",
                                        "pixelsPerPoint", "sourceAppName", "sourceWindowTitle"}));
    // nlohmann keeps keys sorted anyway; the text itself must show them in that order.
    EXPECT_LT(json.find("\"captureKind\""), json.find("\"date\""));
    EXPECT_LT(json.find("\"pixelWidth\""), json.find("\"pixelsPerPoint\""));
    const Json parsed = Json::parse(json);
    EXPECT_EQ(parsed["date"], "2024-03-05T14:07:09Z");
    EXPECT_EQ(parsed["id"], "6F9619FF-8B86-D011-B42D-00C04FC964FF");
    EXPECT_EQ(parsed["captureKind"], "scrolling");
    EXPECT_EQ(parsed["formatVersion"], 1);
}

TEST(HistoryEntry, RoundTripsEveryField)
{
    const HistoryEntry e = fullEntry();
    EXPECT_EQ(decodeHistoryEntry(encodeHistoryEntry(e)), e);
    for (CaptureKind kind : allCases<CaptureKind>()) {
        HistoryEntry k = e;
        k.captureKind = kind;
        EXPECT_EQ(decodeHistoryEntry(encodeHistoryEntry(k)).captureKind, kind);
    }
}

TEST(HistoryEntry, DecodingIsStrictAboutRequiredKeysAndTolerantAboutOptionalOnes)
{
    const std::string base = R"("id":"6f9619ff-8b86-d011-b42d-00c04fc964ff","date":"2024-03-05T14:07:09Z",)"
                             R"("captureKind":"area","pixelWidth":10,"pixelHeight":20)";
    struct Case {
        const char* name;
        std::string json;
        std::optional<DecodeErrorKind> error;
    };
    const Case cases[] = {
        {"complete", "{\"formatVersion\":7," + base + ",\"pixelsPerPoint\":1}", std::nullopt},
        {"null optional", "{\"formatVersion\":1," + base + ",\"pixelsPerPoint\":1,\"sourceAppName\":null}",
         std::nullopt},
        {"no pixelsPerPoint", "{\"formatVersion\":1," + base + "}", DecodeErrorKind::keyNotFound},
        {"no formatVersion", "{" + base + ",\"pixelsPerPoint\":1}", DecodeErrorKind::keyNotFound},
        {"unknown kind",
         R"({"formatVersion":1,"id":"6f9619ff-8b86-d011-b42d-00c04fc964ff",)"
         R"("date":"2024-03-05T14:07:09Z","captureKind":"Area","pixelWidth":1,"pixelHeight":1,)"
         R"("pixelsPerPoint":1})",
         DecodeErrorKind::dataCorrupted},
        {"fractional date",
         R"({"formatVersion":1,"id":"6f9619ff-8b86-d011-b42d-00c04fc964ff",)"
         R"("date":"2024-03-05T14:07:09.5Z","captureKind":"area","pixelWidth":1,)"
         R"("pixelHeight":1,"pixelsPerPoint":1})",
         DecodeErrorKind::dataCorrupted},
        {"text scale", "{\"formatVersion\":1," + base + ",\"pixelsPerPoint\":\"2\"}", DecodeErrorKind::typeMismatch},
        {"numeric app name", "{\"formatVersion\":1," + base + ",\"pixelsPerPoint\":1,\"sourceAppName\":3}",
         DecodeErrorKind::typeMismatch},
        {"not JSON", "Description", DecodeErrorKind::dataCorrupted},
        {"array", "[]", DecodeErrorKind::typeMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            const HistoryEntry e = decodeHistoryEntry(c.json);
            EXPECT_FALSE(c.error);
            EXPECT_EQ(e.id, shotID);
            EXPECT_EQ(e.date, utc(2024, 3, 5, 14, 7, 9));
            EXPECT_EQ(e.sourceAppName, std::nullopt);
            EXPECT_EQ(e.fileURL, std::nullopt);
        } catch (const DecodeError& error) {
            ASSERT_TRUE(c.error) << error.what();
            EXPECT_EQ(error.kind(), *c.error);
        }
    }
    EXPECT_EQ(decodeHistoryEntry("{\"formatVersion\":7," + base + ",\"pixelsPerPoint\":1}").formatVersion, 7);
}

TEST(HistoryEntry, DatesReadOnlyInternetDateTimeText)
{
    const std::pair<const char*, std::optional<QDateTime>> cases[] = {
        {"2024-03-05T14:07:09Z", utc(2024, 3, 5, 14, 7, 9)},
        {"2024-03-05T15:07:09+01:00", utc(2024, 3, 5, 14, 7, 9)},
        {"2024-03-05T00:30:00-02:30", utc(2024, 3, 5, 3, 0, 0)},
        {"2024-02-29T23:59:59Z", utc(2024, 2, 29, 23, 59, 59)},
        {"2023-02-29T10:00:00Z", std::nullopt},
        {"2024-03-05T24:00:00Z", std::nullopt},
        {"2024-03-05T14:07:09", std::nullopt},
        {"2024-03-05 14:07:09Z", std::nullopt},
        {"2024-03-05T14:07:09.000Z", std::nullopt},
        {"2024-03-05T14:07:09+0100", std::nullopt},
        {"2024-3-5T14:07:09Z", std::nullopt},
        {"+024-03-05T14:07:09Z", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(dateFromIso8601(text), expected);
    }
    EXPECT_EQ(iso8601Text(QDateTime(QDate(2024, 3, 5), QTime(15, 7, 9), QTimeZone("Europe/Rome"))),
              "2024-03-05T14:07:09Z");
}
