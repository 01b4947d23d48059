#include "app/support/Settings.h"

#include "app/support/AppConfig.h"

#include <QLocale>
#include <QTimeZone>

#include <algorithm>

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
    if (kind == AnnotationKind::highlighter &&
        std::ranges::find(previousHighlighterOpacities, style.opacity) != std::end(previousHighlighterOpacities))
        style.opacity = Style::defaults(AnnotationKind::highlighter).opacity;
    return style;
}

} // namespace

template <>
struct JsonCoding<StoredToolStyles> {
    static StoredToolStyles decode(const JsonValue& v)
    {
        StoredToolStyles out;
        v.forEachMember(
            [&](const std::string& key, const JsonValue& style) { out.byKind[key] = decodeJson<Style>(style); });
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

std::optional<ToolStyles> SettingCoding<ToolStyles>::read(const QVariant& stored)
{
    const std::optional<StoredToolStyles> byText = SettingCoding<StoredToolStyles>::read(stored);
    if (!byText)
        return std::nullopt;
    ToolStyles styles;
    for (const auto& [key, style] : byText->byKind)
        if (const std::optional<AnnotationKind> kind = enumFromText<AnnotationKind>(key))
            styles[*kind] = style;
    return styles;
}

std::optional<QVariant> SettingCoding<ToolStyles>::write(const ToolStyles& styles)
{
    StoredToolStyles byText;
    for (const auto& [kind, style] : styles)
        byText.byKind[std::string(enumText(kind))] = style;
    return SettingCoding<StoredToolStyles>::write(byText);
}

namespace setting {

std::optional<QUrl> httpAddressOnly(std::optional<QUrl> url)
{
    if (!url)
        return std::nullopt;
    const QString scheme = url->scheme().toLower();
    if (url->host().isEmpty() || (scheme != u"https"_s && scheme != u"http"_s))
        return std::nullopt;
    return url;
}

ToolStyles toolStylesOverDefaults(ToolStyles stored)
{
    ToolStyles styles;
    for (AnnotationKind kind : allCases<AnnotationKind>())
        styles[kind] = Style::defaults(kind);
    for (const auto& [kind, style] : stored)
        styles[kind] = migratedToolStyle(kind, style);
    return styles;
}

std::vector<CaptureSize> firstFavoriteSizes(std::vector<CaptureSize> sizes)
{
    if (sizes.size() > CaptureSize::maximumFavorites)
        sizes.resize(CaptureSize::maximumFavorites);
    return sizes;
}

} // namespace setting

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

void Settings::addCaptureSize(const CaptureSize& size)
{
    std::vector<CaptureSize> sizes = get(setting::captureSizes);
    if (sizes.size() >= CaptureSize::maximumFavorites || std::ranges::find(sizes, size) != sizes.end())
        return;
    sizes.push_back(size);
    set(setting::captureSizes, std::move(sizes));
}

void Settings::resetToolStyles()
{
    m_defaults->remove(setting::toolStyles.key());
    m_notifications.post(toolStylesDidReset);
}

std::optional<QString> Settings::timestamp(const QDateTime& date) const
{
    if (!get(setting::timestampOnShots))
        return std::nullopt;
    return timestampString(get(setting::timestampFormat), date, QLocale(), QTimeZone::systemTimeZone());
}

BookmarkedFolder& Settings::historyBookmark()
{
    if (!m_historyBookmark)
        m_historyBookmark =
            std::make_unique<BookmarkedFolder>(QString::fromLatin1(setting::historyFolderBookmark), *m_defaults);
    return *m_historyBookmark;
}

BookmarkedFolder& Settings::projectsBookmark()
{
    if (!m_projectsBookmark)
        m_projectsBookmark =
            std::make_unique<BookmarkedFolder>(QString::fromLatin1(setting::projectsFolderBookmark), *m_defaults);
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

} // namespace vorlix
