#pragma once
// The one typed store of the user's preferences. Every key has a type, a default
// and a coding: a plain value (bool, integer, double, text, date) or JSON bytes of a
// record. Reading never fails: a missing, mistyped or undecodable value reads as the
// key's default. Nothing is cached except the two folder bookmarks, so a value
// written through any path is seen by the next read.
//
// A few writes are announced on the notification center: see the name constants.
// Values that would do harm when used as stored (a history kept for 0 days, a delay
// of -5 s or of a year) are brought into a safe range by their getters; the file
// itself is never rewritten by reading a value (only a folder bookmark that is found
// lost or replaced is updated by its read).
//
// Keys: afterCapture, freezeScreen, showsLoupe, captureDelay, toolIdleSeconds,
// toolbarShowsLabels, askToSaveOnClose, checksForUpdates, updateFeedURL,
// lastUpdateCheck, latestUpdate, historyEnabled, historyRetentionDays,
// lastHistoryCleanup, historyFolderBookmark, projectsFolderBookmark, timestampOnShots,
// timestampFormat, filenameTemplate, imageFilenameTemplate, exportSize,
// cutOutSensitivity, showRulers, currentStamp, captureSizes, lastCaptureSize, hotkeys,
// palette, stylePresets, toolStyles.

#include "app/support/BookmarkedFolder.h"
#include "app/support/DefaultsStore.h"
#include "app/support/NotificationCenter.h"

#include "core/formats/CaptureSize.h"
#include "core/formats/FilenameTemplate.h"
#include "core/formats/HotkeyConfiguration.h"
#include "core/formats/TimestampFormat.h"
#include "core/formats/UpdateInfo.h"
#include "core/model/AnnotationKind.h"
#include "core/model/Color.h"
#include "core/model/ExportSize.h"
#include "core/model/Json.h"
#include "core/model/Style.h"
#include "core/model/StylePresetLibrary.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace vorlix {

class Settings {
public:
    // What follows a capture: the editor, or the quick preview with the shot on the
    // clipboard. Stored as "openEditor" / "quickPreview"; any other text is the editor.
    enum class AfterCapture { openEditor, quickPreview };

    // Notification names.
    static const QString paletteDidChange;       // "VorlixPaletteDidChange"
    static const QString captureSizesDidChange;  // "VorlixCaptureSizesDidChange"
    static const QString toolStylesDidReset;     // "VorlixToolStylesDidReset"
    static const QString toolbarLabelsDidChange; // "VorlixToolbarLabelsDidChange"
    static const QString historyFolderDidReset;  // "VorlixHistoryFolderDidReset"

    // Safe ranges applied when the values are read.
    static constexpr std::int64_t maximumCaptureDelay = 60;         // seconds
    static constexpr std::int64_t maximumToolIdleSeconds = 86'400;  // one day
    static constexpr std::int64_t maximumHistoryRetentionDays = 3650;

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

    // ---- Generic accessors
    // The stored value when it converts to the type, else `fallback`. Only bool,
    // std::int64_t, double and QString; other types (an int literal) do not compile.
    bool value(const QString& key, bool fallback) const;
    std::int64_t value(const QString& key, std::int64_t fallback) const;
    double value(const QString& key, double fallback) const;
    QString value(const QString& key, const QString& fallback) const;
    template <class T>
    T value(const QString& key, T fallback) const = delete;

    // A plain value; an invalid QVariant removes the key.
    void set(const QString& key, const QVariant& value) { m_defaults->set(key, value); }
    void setDate(const QString& key, const QDateTime& date) { m_defaults->set(key, storedDateText(date)); }
    void remove(const QString& key) { m_defaults->remove(key); }
    std::optional<QDateTime> date(const QString& key) const { return storedDate(m_defaults->object(key)); }

    // JSON bytes decoded strictly; `fallback` when absent or undecodable (nothing is
    // written back). For an optional T, JSON null is nothing.
    template <class T>
    T codable(const QString& key, const T& fallback) const;
    // Encodes and stores; when encoding fails the key is removed.
    template <class T>
    void setCodable(const T& value, const QString& key);
    // Stores the value, or removes the key for nothing.
    template <class T>
    void setCodable(const std::optional<T>& value, const QString& key)
    {
        if (value)
            setCodable(*value, key);
        else
            remove(key);
    }

    // ---- Capture
    AfterCapture afterCapture() const;
    void setAfterCapture(AfterCapture value);
    bool freezeScreen() const { return value(QStringLiteral("freezeScreen"), true); }
    void setFreezeScreen(bool on) { set(QStringLiteral("freezeScreen"), on); }
    bool showsLoupe() const { return value(QStringLiteral("showsLoupe"), true); }
    void setShowsLoupe(bool on) { set(QStringLiteral("showsLoupe"), on); }
    // Seconds, 3 by default, kept within 0...60.
    std::int64_t captureDelay() const;
    void setCaptureDelay(std::int64_t seconds) { set(QStringLiteral("captureDelay"), qint64(seconds)); }
    std::vector<CaptureSize> captureSizes() const;
    // Keeps the first 12, stores, posts captureSizesDidChange.
    void setCaptureSizes(std::vector<CaptureSize> sizes);
    // Appends a size unless an equal one is stored or the list is full.
    void addCaptureSize(const CaptureSize& size);
    std::optional<CaptureSize> lastCaptureSize() const;
    void setLastCaptureSize(const std::optional<CaptureSize>& size);
    HotkeyConfiguration hotkeys() const;
    void setHotkeys(const HotkeyConfiguration& hotkeys) { setCodable(hotkeys, QStringLiteral("hotkeys")); }

    // ---- Editor
    // Seconds without input before a drawing tool returns to selection; 0 or less
    // turns that off. At most one day.
    std::int64_t toolIdleSeconds() const;
    void setToolIdleSeconds(std::int64_t seconds) { set(QStringLiteral("toolIdleSeconds"), qint64(seconds)); }
    bool toolbarShowsLabels() const { return value(QStringLiteral("toolbarShowsLabels"), true); }
    // Stores, then posts toolbarLabelsDidChange.
    void setToolbarShowsLabels(bool on);
    bool askToSaveOnClose() const { return value(QStringLiteral("askToSaveOnClose"), true); }
    void setAskToSaveOnClose(bool on) { set(QStringLiteral("askToSaveOnClose"), on); }
    bool showRulers() const { return value(QStringLiteral("showRulers"), false); }
    void setShowRulers(bool on) { set(QStringLiteral("showRulers"), on); }
    // 0...1, 0.12 by default; the setter clamps.
    double cutOutSensitivity() const;
    void setCutOutSensitivity(double sensitivity);
    QString currentStamp() const { return value(QStringLiteral("currentStamp"), QStringLiteral("\u2705")); }
    void setCurrentStamp(const QString& stamp) { set(QStringLiteral("currentStamp"), stamp); }
    Palette palette() const;
    // Stores, then posts paletteDidChange.
    void setPalette(const Palette& palette);
    StylePresetLibrary stylePresets() const { return codable(QStringLiteral("stylePresets"), StylePresetLibrary{}); }
    void setStylePresets(const StylePresetLibrary& library) { setCodable(library, QStringLiteral("stylePresets")); }
    // Every kind's style: the kind's default, replaced by the stored one when there is
    // one, with old standard-palette colours and old highlighter opacities migrated.
    std::map<AnnotationKind, Style> toolStyles() const;
    void setToolStyles(const std::map<AnnotationKind, Style>& styles);
    // Removes the stored styles and posts toolStylesDidReset.
    void resetToolStyles();

    // ---- Names, stamps and export
    bool timestampOnShots() const { return value(QStringLiteral("timestampOnShots"), false); }
    void setTimestampOnShots(bool on) { set(QStringLiteral("timestampOnShots"), on); }
    TimestampFormat timestampFormat() const;
    void setTimestampFormat(TimestampFormat format);
    // The stamp text for a shot taken at `date` in the current locale and time zone;
    // nothing when stamps are off.
    std::optional<QString> timestamp(const QDateTime& date) const;
    FilenameTemplate filenameTemplate() const;
    void setFilenameTemplate(const FilenameTemplate& pattern) { set(QStringLiteral("filenameTemplate"), pattern.pattern); }
    FilenameTemplate imageFilenameTemplate() const;
    void setImageFilenameTemplate(const FilenameTemplate& pattern) { set(QStringLiteral("imageFilenameTemplate"), pattern.pattern); }
    ExportSize exportSize() const;
    void setExportSize(ExportSize size);

    // ---- History
    bool historyEnabled() const { return value(QStringLiteral("historyEnabled"), true); }
    void setHistoryEnabled(bool on) { set(QStringLiteral("historyEnabled"), on); }
    // Days a shot is kept, 14 by default. A stored value below 1 would delete every shot
    // at the next clean-up and reads as 14; at most ten years.
    std::int64_t historyRetentionDays() const;
    void setHistoryRetentionDays(std::int64_t days) { set(QStringLiteral("historyRetentionDays"), qint64(days)); }
    std::optional<QDateTime> lastCleanup() const { return date(QStringLiteral("lastHistoryCleanup")); }
    void setLastCleanup(const QDateTime& when) { setDate(QStringLiteral("lastHistoryCleanup"), when); }
    BookmarkedFolder& historyBookmark();
    BookmarkedFolder& projectsBookmark();
    // The chosen history folder while it is usable; else the default history folder.
    // A chosen folder found lost posts historyFolderDidReset on the next turn of the
    // event loop.
    QString historyFolder();

    // ---- Updates
    bool checksForUpdates() const { return value(QStringLiteral("checksForUpdates"), true); }
    void setChecksForUpdates(bool on) { set(QStringLiteral("checksForUpdates"), on); }
    // A stored absolute http(s) address of the update file; otherwise nothing (the
    // built-in page is used). Never written by the application.
    std::optional<QUrl> updateFeedURL() const;
    std::optional<QDateTime> lastUpdateCheck() const { return date(QStringLiteral("lastUpdateCheck")); }
    void setLastUpdateCheck(const QDateTime& when) { setDate(QStringLiteral("lastUpdateCheck"), when); }
    std::optional<UpdateInfo> latestUpdate() const;
    void setLatestUpdate(const std::optional<UpdateInfo>& info);

private:
    std::unique_ptr<DefaultsStore> m_defaults;
    NotificationCenter& m_notifications;
    std::unique_ptr<BookmarkedFolder> m_historyBookmark;
    std::unique_ptr<BookmarkedFolder> m_projectsBookmark;
};

template <class T>
T Settings::codable(const QString& key, const T& fallback) const
{
    const std::optional<QByteArray> data = storedBytes(m_defaults->object(key));
    if (!data)
        return fallback;
    try {
        const Json root = parseJson(std::string_view(data->constData(), static_cast<std::size_t>(data->size())));
        if constexpr (detail::IsOptional<T>::value) {
            if (root.is_null())
                return std::nullopt;
            return decodeJson<typename T::value_type>(JsonValue(root));
        } else {
            return decodeJson<T>(JsonValue(root));
        }
    } catch (const DecodeError&) {
        return fallback;
    } catch (const Json::exception&) {
        return fallback;
    }
}

template <class T>
void Settings::setCodable(const T& value, const QString& key)
{
    try {
        const std::string text = encodeJson(value).dump();
        m_defaults->set(key, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    } catch (const Json::exception&) {
        // Text that is not valid UTF-8 cannot be written as JSON.
        m_defaults->remove(key);
    }
}

} // namespace vorlix
