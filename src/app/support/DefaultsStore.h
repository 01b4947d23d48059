#pragma once
// Where the user's preferences are kept: a flat map from key to a plain value
// (bool, integer, double, text, date or bytes). `QSettingsDefaultsStore` keeps them in
// an INI file; `MemoryDefaultsStore` keeps them in memory, for tests.
//
// An INI file does not keep types: booleans, numbers and dates come back as text.
// Readers therefore accept a value's native type and its INI text form alike (see
// the conversions below); bytes and text keep their type in both stores.

#include <QByteArray>
#include <QDateTime>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <cstdint>
#include <memory>
#include <optional>

namespace vorlix {

class DefaultsStore {
public:
    virtual ~DefaultsStore() = default;

    // The stored value; an invalid QVariant when the key is absent.
    virtual QVariant object(const QString& key) const = 0;
    virtual void set(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;
    // Writes pending changes to the backing file, if any.
    virtual void sync() {}
};

// INI file through QSettings. Keys are stored at the top level, outside any group.
class QSettingsDefaultsStore : public DefaultsStore {
public:
    // The application's own file: <XDG config>/<organisation>/<application>.ini.
    QSettingsDefaultsStore();
    // Any INI file (tests use one in a temporary folder).
    explicit QSettingsDefaultsStore(const QString& iniFile);

    QVariant object(const QString& key) const override;
    void set(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;
    void sync() override;

    QString fileName() const { return m_settings.fileName(); }

private:
    mutable QSettings m_settings;
};

class MemoryDefaultsStore : public DefaultsStore {
public:
    QVariant object(const QString& key) const override { return m_values.value(key); }
    void set(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

    const QVariantMap& values() const { return m_values; }
    // How many times a key was written or removed, to tell how often a gesture writes.
    int writeCount(const QString& key) const { return m_writes.value(key).toInt(); }

private:
    QVariantMap m_values;
    QVariantMap m_writes;
};

// ---- Strict conversions of stored values; nothing when the value has another type.
// bool: a boolean, or the text "true" / "false".
// integer: an integer type, or decimal text with an optional sign (64-bit range).
// double: any number type, or text that is a number; never a non-finite value.
// text: a text value only.
// bytes: bytes, or text (taken as UTF-8).
// date: a valid date-time, or ISO 8601 text with a time zone.
std::optional<bool> storedBool(const QVariant& v);
std::optional<std::int64_t> storedInteger(const QVariant& v);
std::optional<double> storedDouble(const QVariant& v);
std::optional<QString> storedString(const QVariant& v);
std::optional<QByteArray> storedBytes(const QVariant& v);
std::optional<QDateTime> storedDate(const QVariant& v);

// ISO 8601 internet date-time with a time zone: "2024-05-01T10:00:00Z",
// "2024-05-01T12:00:00.250+02:00". Text without a zone, or any other form, gives nothing.
std::optional<QDateTime> internetDateTime(const QString& text);

// A date as it is written: ISO 8601 text in UTC with milliseconds, readable in the file.
QString storedDateText(const QDateTime& date);

} // namespace vorlix
