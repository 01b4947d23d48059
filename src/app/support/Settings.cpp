#include "app/support/Settings.h"

#include "app/support/AppConfig.h"

#include <QLocale>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace vorlix {

namespace {

// The stored form of the tool styles: kind text → style.
struct StoredToolStyles {
    std::map<std::string, Style> byKind;
};

// The opacities that earlier versions gave the highlighter by default.
constexpr double previousHighlighterOpacities[] = {0.55, 0.35};

Style migratedToolStyle(AnnotationKind kind, Style style)
{
    style.strokeColor = Palette::migratedColor(style.strokeColor);
    if (style.fillColor)
        style.fillColor = Palette::migratedColor(*style.fillColor);
    if (style.arrowHeadColor)
        style.arrowHeadColor = Palette::migratedColor(*style.arrowHeadColor);
    if (kind == AnnotationKind::highlighter
        && std::ranges::find(previousHighlighterOpacities, style.opacity) != std::end(previousHighlighterOpacities))
        style.opacity = Style::defaults(AnnotationKind::highlighter).opacity;
    return style;
}

std::optional<QUrl> httpAddress(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"https"_s && scheme != u"http"_s))
        return std::nullopt;
    return url;
}

} // namespace

template <>
struct JsonCoding<StoredToolStyles> {
    static StoredToolStyles decode(const JsonValue& v)
    {
        StoredToolStyles out;
        v.forEachMember([&](const std::string& key, const JsonValue& style) { out.byKind[key] = decodeJson<Style>(style); });
        return out;
    }
    static Json encode(const StoredToolStyles& styles)
    {
        Json out = Json::object();
        for (const auto& [key, style] : styles.byKind)
            out[key] = encodeJson(style);
        return out;
    }
};

const QString Settings::paletteDidChange = u"VorlixPaletteDidChange"_s;
const QString Settings::captureSizesDidChange = u"VorlixCaptureSizesDidChange"_s;
const QString Settings::toolStylesDidReset = u"VorlixToolStylesDidReset"_s;
const QString Settings::toolbarLabelsDidChange = u"VorlixToolbarLabelsDidChange"_s;
const QString Settings::historyFolderDidReset = u"VorlixHistoryFolderDidReset"_s;

Settings::Settings(std::unique_ptr<DefaultsStore> defaults, NotificationCenter& notifications)
    : m_defaults(std::move(defaults)), m_notifications(notifications)
{
}

Settings::~Settings() = default;

Settings& Settings::shared()
{
    static Settings settings(std::make_unique<QSettingsDefaultsStore>());
    return settings;
}

// ---- Generic accessors

bool Settings::value(const QString& key, bool fallback) const
{
    return storedBool(m_defaults->object(key)).value_or(fallback);
}

std::int64_t Settings::value(const QString& key, std::int64_t fallback) const
{
    return storedInteger(m_defaults->object(key)).value_or(fallback);
}

double Settings::value(const QString& key, double fallback) const
{
    return storedDouble(m_defaults->object(key)).value_or(fallback);
}

QString Settings::value(const QString& key, const QString& fallback) const
{
    return storedString(m_defaults->object(key)).value_or(fallback);
}

// ---- Capture

Settings::AfterCapture Settings::afterCapture() const
{
    return value(u"afterCapture"_s, QString()) == u"quickPreview"_s ? AfterCapture::quickPreview
                                                                    : AfterCapture::openEditor;
}

void Settings::setAfterCapture(AfterCapture value)
{
    switch (value) {
    case AfterCapture::openEditor:
        set(u"afterCapture"_s, u"openEditor"_s);
        return;
    case AfterCapture::quickPreview:
        set(u"afterCapture"_s, u"quickPreview"_s);
        return;
    }
}

std::int64_t Settings::captureDelay() const
{
    return std::clamp(value(u"captureDelay"_s, std::int64_t{3}), std::int64_t{0}, maximumCaptureDelay);
}

std::vector<CaptureSize> Settings::captureSizes() const
{
    std::vector<CaptureSize> sizes = codable(u"captureSizes"_s, CaptureSize::defaults());
    if (sizes.size() > CaptureSize::maximumFavorites)
        sizes.resize(CaptureSize::maximumFavorites);
    return sizes;
}

void Settings::setCaptureSizes(std::vector<CaptureSize> sizes)
{
    if (sizes.size() > CaptureSize::maximumFavorites)
        sizes.resize(CaptureSize::maximumFavorites);
    setCodable(sizes, u"captureSizes"_s);
    m_notifications.post(captureSizesDidChange);
}

void Settings::addCaptureSize(const CaptureSize& size)
{
    std::vector<CaptureSize> sizes = captureSizes();
    if (sizes.size() >= CaptureSize::maximumFavorites || std::ranges::find(sizes, size) != sizes.end())
        return;
    sizes.push_back(size);
    setCaptureSizes(std::move(sizes));
}

std::optional<CaptureSize> Settings::lastCaptureSize() const
{
    return codable(u"lastCaptureSize"_s, std::optional<CaptureSize>());
}

void Settings::setLastCaptureSize(const std::optional<CaptureSize>& size) { setCodable(size, u"lastCaptureSize"_s); }

HotkeyConfiguration Settings::hotkeys() const { return codable(u"hotkeys"_s, HotkeyConfiguration::defaults()); }

// ---- Editor

std::int64_t Settings::toolIdleSeconds() const
{
    return std::clamp(value(u"toolIdleSeconds"_s, std::int64_t{60}), std::int64_t{0}, maximumToolIdleSeconds);
}

void Settings::setToolbarShowsLabels(bool on)
{
    set(u"toolbarShowsLabels"_s, on);
    m_notifications.post(toolbarLabelsDidChange);
}

double Settings::cutOutSensitivity() const { return std::clamp(value(u"cutOutSensitivity"_s, 0.12), 0.0, 1.0); }

void Settings::setCutOutSensitivity(double sensitivity)
{
    if (std::isnan(sensitivity))
        return;
    set(u"cutOutSensitivity"_s, std::clamp(sensitivity, 0.0, 1.0));
}

Palette Settings::palette() const
{
    Palette stored = codable(u"palette"_s, Palette::standard());
    // Every palette user indexes its ten slots.
    if (stored.colors.size() != Palette::slotCount)
        return Palette::standard();
    return stored;
}

void Settings::setPalette(const Palette& palette)
{
    setCodable(palette, u"palette"_s);
    m_notifications.post(paletteDidChange);
}

std::map<AnnotationKind, Style> Settings::toolStyles() const
{
    std::map<AnnotationKind, Style> styles;
    for (AnnotationKind kind : allCases<AnnotationKind>())
        styles[kind] = Style::defaults(kind);
    for (const auto& [key, style] : codable(u"toolStyles"_s, StoredToolStyles{}).byKind)
        if (const std::optional<AnnotationKind> kind = enumFromText<AnnotationKind>(key))
            styles[*kind] = migratedToolStyle(*kind, style);
    return styles;
}

void Settings::setToolStyles(const std::map<AnnotationKind, Style>& styles)
{
    StoredToolStyles stored;
    for (const auto& [kind, style] : styles)
        stored.byKind[std::string(enumText(kind))] = style;
    setCodable(stored, u"toolStyles"_s);
}

void Settings::resetToolStyles()
{
    remove(u"toolStyles"_s);
    m_notifications.post(toolStylesDidReset);
}

// ---- Names, stamps and export

TimestampFormat Settings::timestampFormat() const
{
    const QString text = value(u"timestampFormat"_s, QString());
    return enumFromText<TimestampFormat>(text.toStdString()).value_or(TimestampFormat::dateTime);
}

void Settings::setTimestampFormat(TimestampFormat format)
{
    set(u"timestampFormat"_s, QString::fromLatin1(enumText(format)));
}

std::optional<QString> Settings::timestamp(const QDateTime& date) const
{
    if (!timestampOnShots())
        return std::nullopt;
    return timestampString(timestampFormat(), date, QLocale(), QTimeZone::systemTimeZone());
}

FilenameTemplate Settings::filenameTemplate() const
{
    const std::optional<QString> stored = storedString(m_defaults->object(u"filenameTemplate"_s));
    if (stored && *stored != FilenameTemplate::previousStandard().pattern)
        return {*stored};
    return FilenameTemplate::standard();
}

FilenameTemplate Settings::imageFilenameTemplate() const
{
    return {value(u"imageFilenameTemplate"_s, FilenameTemplate::imageStandard().pattern)};
}

ExportSize Settings::exportSize() const
{
    const QString text = value(u"exportSize"_s, QString());
    return enumFromText<ExportSize>(text.toStdString()).value_or(ExportSize::original);
}

void Settings::setExportSize(ExportSize size) { set(u"exportSize"_s, QString::fromLatin1(enumText(size))); }

// ---- History

std::int64_t Settings::historyRetentionDays() const
{
    constexpr std::int64_t standardDays = 14;
    const std::int64_t days = value(u"historyRetentionDays"_s, standardDays);
    if (days < 1)
        return standardDays;
    return std::min(days, maximumHistoryRetentionDays);
}

BookmarkedFolder& Settings::historyBookmark()
{
    if (!m_historyBookmark)
        m_historyBookmark = std::make_unique<BookmarkedFolder>(u"historyFolderBookmark"_s, *m_defaults);
    return *m_historyBookmark;
}

BookmarkedFolder& Settings::projectsBookmark()
{
    if (!m_projectsBookmark)
        m_projectsBookmark = std::make_unique<BookmarkedFolder>(u"projectsFolderBookmark"_s, *m_defaults);
    return *m_projectsBookmark;
}

QString Settings::historyFolder()
{
    const BookmarkedFolder::Resolution resolution = historyBookmark().resolve();
    switch (resolution.kind) {
    case BookmarkedFolder::Resolution::Kind::usable:
        return resolution.path;
    case BookmarkedFolder::Resolution::Kind::none:
        return AppConfig::defaultHistoryFolder();
    case BookmarkedFolder::Resolution::Kind::lost:
        // Readers may be in the middle of work that must not be interrupted by the
        // message the shell shows: announce it after they return.
        m_notifications.postLater(historyFolderDidReset);
        return AppConfig::defaultHistoryFolder();
    }
    return AppConfig::defaultHistoryFolder();
}

// ---- Updates

std::optional<QUrl> Settings::updateFeedURL() const
{
    const std::optional<QString> text = storedString(m_defaults->object(u"updateFeedURL"_s));
    return text ? httpAddress(*text) : std::nullopt;
}

std::optional<UpdateInfo> Settings::latestUpdate() const
{
    return codable(u"latestUpdate"_s, std::optional<UpdateInfo>());
}

void Settings::setLatestUpdate(const std::optional<UpdateInfo>& info) { setCodable(info, u"latestUpdate"_s); }

} // namespace vorlix
