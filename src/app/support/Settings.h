#pragma once
// The one typed store of the user's preferences. Every key is a `SettingKey` row in the
// namespace `setting` below, with its type, its default and its rules, read and written
// through `get(key)` and `set(key, value)`. Reading never fails: a missing, mistyped or
// undecodable value reads as the key's default. Nothing is cached except the two folder
// bookmarks, so a value written through any path is seen by the next read.
//
// Values that would do harm when used as stored (a history kept for 0 days, a delay
// of -5 s or of a year) are brought into a safe range by their rows' `read`; the file
// itself is never rewritten by reading a value (only a folder bookmark that is found
// lost or replaced is updated by its read).

#include "app/support/BookmarkedFolder.h"
#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"
#include "app/support/SettingKey.h"

#include "core/formats/CaptureSize.h"
#include "core/formats/FilenameTemplate.h"
#include "core/formats/HotkeyConfiguration.h"
#include "core/formats/TimestampFormat.h"
#include "core/formats/UpdateInfo.h"
#include "core/model/AnnotationKind.h"
#include "core/model/Color.h"
#include "core/model/ExportSize.h"
#include "core/model/Style.h"
#include "core/model/StylePresetLibrary.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace vorlix {

// What follows a capture: the editor, or the quick preview with the shot on the clipboard.
enum class AfterCapture { openEditor, quickPreview };

template <>
struct EnumTexts<AfterCapture> {
    static constexpr const char* typeName = "AfterCapture";
    static constexpr std::array table{std::pair{AfterCapture::openEditor, std::string_view("openEditor")},
                                      std::pair{AfterCapture::quickPreview, std::string_view("quickPreview")}};
};

// Every kind's style, stored as one JSON object from the kind's text to its style.
// Entries under a text that names no kind are skipped when read.
using ToolStyles = std::map<AnnotationKind, Style>;

template <>
struct SettingCoding<ToolStyles> {
    static std::optional<ToolStyles> read(const QVariant& stored);
    static std::optional<QVariant> write(const ToolStyles& styles);
};

class Settings {
public:
    // Notification names.
    static const QString paletteDidChange;       // "VorlixPaletteDidChange"
    static const QString captureSizesDidChange;  // "VorlixCaptureSizesDidChange"
    static const QString toolStylesDidReset;     // "VorlixToolStylesDidReset"
    static const QString toolbarLabelsDidChange; // "VorlixToolbarLabelsDidChange"
    static const QString historyFolderDidReset;  // "VorlixHistoryFolderDidReset"

    explicit Settings(std::unique_ptr<DefaultsStore> defaults,
                      NotificationCenter& notifications = NotificationCenter::shared());
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The application's settings over its INI file, made on first use.
    static Settings& shared();

    DefaultsStore& defaults() { return *m_defaults; }
    const DefaultsStore& defaults() const { return *m_defaults; }
    NotificationCenter& notifications() { return m_notifications; }

    template <class T>
    T get(const SettingKey<T>& key) const;
    template <class T>
    void set(const SettingKey<T>& key, std::type_identity_t<T> value);

    // Appends a size to the capture sizes unless an equal one is stored or the list is full.
    void addCaptureSize(const CaptureSize& size);
    // Removes the stored tool styles and posts toolStylesDidReset.
    void resetToolStyles();
    // The stamp text for a shot taken at `date` in the current locale and time zone;
    // nothing when stamps are off.
    std::optional<QString> timestamp(const QDateTime& date) const;

    BookmarkedFolder& historyBookmark();
    BookmarkedFolder& projectsBookmark();
    // The chosen history folder while it is usable; else the default history folder.
    // A chosen folder found lost posts historyFolderDidReset on the next turn of the
    // event loop.
    QString historyFolder();

private:
    std::unique_ptr<DefaultsStore> m_defaults;
    NotificationCenter& m_notifications;
    std::unique_ptr<BookmarkedFolder> m_historyBookmark;
    std::unique_ptr<BookmarkedFolder> m_projectsBookmark;
};

template <class T>
T Settings::get(const SettingKey<T>& key) const
{
    std::optional<T> stored = SettingCoding<T>::read(m_defaults->object(key.key()));
    T value = stored ? std::move(*stored) : key.defaultValue();
    return key.read ? key.read(std::move(value)) : value;
}

template <class T>
void Settings::set(const SettingKey<T>& key, std::type_identity_t<T> value)
{
    if (key.write)
        value = key.write(std::move(value));
    const std::optional<QVariant> stored = SettingCoding<T>::write(value);
    if (!stored)
        return;
    m_defaults->set(key.key(), *stored);
    if (key.notification)
        m_notifications.post(*key.notification);
}

// ---- The keys -------------------------------------------------------------------------

namespace setting {

// Safe ranges applied when values are read.
inline constexpr std::int64_t maximumCaptureDelay = 60;        // seconds
inline constexpr std::int64_t maximumToolIdleSeconds = 86'400; // one day
inline constexpr std::int64_t standardHistoryRetentionDays = 14;
inline constexpr std::int64_t maximumHistoryRetentionDays = 3650;

// Rules too long for a row, defined with the settings.
std::optional<QUrl> httpAddressOnly(std::optional<QUrl> url);
ToolStyles toolStylesOverDefaults(ToolStyles stored);
std::vector<CaptureSize> firstFavoriteSizes(std::vector<CaptureSize> sizes);

// ---- Capture
inline constexpr SettingKey<AfterCapture> afterCapture{"afterCapture", AfterCapture::openEditor};
inline constexpr SettingKey<bool> freezeScreen{"freezeScreen", true};
inline constexpr SettingKey<bool> showsLoupe{"showsLoupe", true};
// Seconds. The delay becomes a sleep: never negative, never years.
inline constexpr SettingKey<std::int64_t> captureDelay{
    .name = "captureDelay", .fallback = 3, .read = clampedTo<std::int64_t{0}, maximumCaptureDelay>};
// At most CaptureSize::maximumFavorites are read and stored.
inline constexpr SettingKey<std::vector<CaptureSize>> captureSizes{
    .name = "captureSizes",
    .fallback = [] { return CaptureSize::defaults(); },
    .read = firstFavoriteSizes,
    .write = firstFavoriteSizes,
    .notification = &Settings::captureSizesDidChange,
};
inline constexpr SettingKey<std::optional<CaptureSize>> lastCaptureSize{.name = "lastCaptureSize"};
inline constexpr SettingKey<HotkeyConfiguration> hotkeys{.name = "hotkeys",
                                                         .fallback = [] { return HotkeyConfiguration::defaults(); }};

// ---- Editor
// Seconds without input before a drawing tool returns to selection; 0 turns that off.
inline constexpr SettingKey<std::int64_t> toolIdleSeconds{
    .name = "toolIdleSeconds", .fallback = 60, .read = clampedTo<std::int64_t{0}, maximumToolIdleSeconds>};
inline constexpr SettingKey<bool> toolbarShowsLabels{
    .name = "toolbarShowsLabels", .fallback = true, .notification = &Settings::toolbarLabelsDidChange};
inline constexpr SettingKey<bool> askToSaveOnClose{"askToSaveOnClose", true};
inline constexpr SettingKey<bool> showRulers{"showRulers", false};
// Project packages opened or saved under a new name, newest first.
inline constexpr SettingKey<QStringList> recentProjects{.name = "recentProjects"};
inline constexpr SettingKey<double> cutOutSensitivity{
    .name = "cutOutSensitivity", .fallback = 0.12, .read = clampedTo<0.0, 1.0>, .write = clampedTo<0.0, 1.0>};
inline constexpr SettingKey<QString> currentStamp{.name = "currentStamp",
                                                  .fallback = [] { return QStringLiteral("\u2705"); }};
// Every palette user indexes its ten slots: any other count reads as the standard.
inline constexpr SettingKey<Palette> palette{
    .name = "palette",
    .fallback = [] { return Palette::standard(); },
    .read = [](Palette p) { return p.colors.size() == Palette::slotCount ? p : Palette::standard(); },
    .notification = &Settings::paletteDidChange,
};
inline constexpr SettingKey<StylePresetLibrary> stylePresets{.name = "stylePresets"};
// Every kind's style: its default, replaced by the stored one when there is one, with old
// standard-palette colours and old highlighter opacities migrated on every read.
inline constexpr SettingKey<ToolStyles> toolStyles{.name = "toolStyles", .read = toolStylesOverDefaults};

// ---- Names, stamps and export
inline constexpr SettingKey<bool> timestampOnShots{"timestampOnShots", false};
inline constexpr SettingKey<TimestampFormat> timestampFormat{"timestampFormat", TimestampFormat::dateTime};
// The earlier standard project name reads as the current one.
inline constexpr SettingKey<FilenameTemplate> filenameTemplate{
    .name = "filenameTemplate",
    .fallback = FilenameTemplate::standard,
    .read =
        [](FilenameTemplate t) { return t == FilenameTemplate::previousStandard() ? FilenameTemplate::standard() : t; },
};
inline constexpr SettingKey<FilenameTemplate> imageFilenameTemplate{.name = "imageFilenameTemplate",
                                                                    .fallback = FilenameTemplate::imageStandard};
inline constexpr SettingKey<ExportSize> exportSize{"exportSize", ExportSize::original};

// ---- History
inline constexpr SettingKey<bool> historyEnabled{"historyEnabled", true};
// Days a shot is kept. A value below 1 would delete every shot at the next clean-up and
// reads as the standard; at most ten years.
inline constexpr SettingKey<std::int64_t> historyRetentionDays{
    .name = "historyRetentionDays",
    .fallback = standardHistoryRetentionDays,
    .read =
        [](std::int64_t days) {
            return days < 1 ? standardHistoryRetentionDays : std::min(days, maximumHistoryRetentionDays);
        },
};
inline constexpr SettingKey<std::optional<QDateTime>> lastHistoryCleanup{.name = "lastHistoryCleanup"};
// Kept by the settings' BookmarkedFolder objects, not through get/set.
inline constexpr const char* historyFolderBookmark = "historyFolderBookmark";
inline constexpr const char* projectsFolderBookmark = "projectsFolderBookmark";

// ---- Updates
inline constexpr SettingKey<bool> checksForUpdates{"checksForUpdates", true};
// An absolute http(s) address of the update file; otherwise nothing (the built-in page is
// used). Never written by the application.
inline constexpr SettingKey<std::optional<QUrl>> updateFeedURL{.name = "updateFeedURL", .read = httpAddressOnly};
inline constexpr SettingKey<std::optional<QDateTime>> lastUpdateCheck{.name = "lastUpdateCheck"};
inline constexpr SettingKey<std::optional<UpdateInfo>> latestUpdate{.name = "latestUpdate"};
// Whether the check that ended at "lastUpdateCheck" brought a valid record; until one
// does, the state is shown as not verified rather than up to date.
inline constexpr SettingKey<bool> lastUpdateCheckSucceeded{"lastUpdateCheckSucceeded", false};

} // namespace setting

} // namespace vorlix
