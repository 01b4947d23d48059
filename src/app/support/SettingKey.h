#pragma once
// One user preference as a row: its key text in the store, its type, its default and
// the rules special to it. `Settings::get(key)` and `Settings::set(key, value)` read and
// write every row the same way:
//
//   get: the stored value as `SettingCoding<T>` reads it, or the default when the key is
//        missing or holds something that does not read as a T; then the row's `read`.
//   set: the row's `write`; the value stored as `SettingCoding<T>` writes it; then the
//        row's `notification` is posted.
//
// The key text is what the INI file keeps and never changes.

#include "app/support/DefaultsStore.h"

#include "core/formats/FilenameTemplate.h"
#include "core/model/Json.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <type_traits>

namespace vorlix {

// A number, a flag or an enumeration is its own default; any other type is made by a
// function (none: the type's empty value).
template <class T>
using SettingFallback = std::conditional_t<std::is_scalar_v<T>, T, T (*)()>;

template <class T>
struct SettingKey {
    using Value = T;

    const char* name = nullptr;
    SettingFallback<T> fallback{};
    // Brings what was read (the stored value or the default) into the form and range its
    // users may rely on. Reading never rewrites the store.
    T (*read)(T) = nullptr;
    // Applied to a value before it is stored.
    T (*write)(T) = nullptr;
    // Posted on the settings' notification center after every set.
    const QString* notification = nullptr;

    QString key() const { return QString::fromLatin1(name); }

    T defaultValue() const
    {
        if constexpr (std::is_scalar_v<T>)
            return fallback;
        else
            return fallback ? fallback() : T{};
    }
};

// A `read` or `write` rule that keeps a number within low...high.
template <auto low, auto high>
constexpr decltype(low) clampedTo(decltype(low) value)
{
    return std::clamp(value, low, high);
}

// ---- How a type is kept in the store ---------------------------------------------------
// `read` gives nothing when the stored value is not of the type (see the conversions of
// DefaultsStore.h). `write` gives the value to store (an invalid QVariant removes the
// key), or nothing when the value cannot be kept and the store is left as it is.
// Types without a plain coding below are JSON bytes of their record; for an optional
// record, JSON null and an absent key are nothing.

template <class T>
struct SettingCoding {
    static std::optional<T> read(const QVariant& stored)
    {
        const std::optional<QByteArray> data = storedBytes(stored);
        if (!data)
            return std::nullopt;
        try {
            const Json root = parseJson(std::string_view(data->constData(), static_cast<std::size_t>(data->size())));
            if constexpr (detail::IsOptional<T>::value) {
                if (root.is_null())
                    return T{};
                return T(decodeJson<typename T::value_type>(JsonValue(root)));
            } else {
                return decodeJson<T>(JsonValue(root));
            }
        } catch (const DecodeError&) {
            return std::nullopt;
        } catch (const Json::exception&) {
            return std::nullopt;
        }
    }

    static std::optional<QVariant> write(const T& value)
    {
        try {
            std::string text;
            if constexpr (detail::IsOptional<T>::value) {
                if (!value)
                    return QVariant();
                text = encodeJson(*value).dump();
            } else {
                text = encodeJson(value).dump();
            }
            return QVariant(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
        } catch (const Json::exception&) {
            // Text that is not valid UTF-8 cannot be written as JSON.
            return QVariant();
        }
    }
};

template <>
struct SettingCoding<bool> {
    static std::optional<bool> read(const QVariant& stored) { return storedBool(stored); }
    static std::optional<QVariant> write(bool value) { return QVariant(value); }
};

template <>
struct SettingCoding<std::int64_t> {
    static std::optional<std::int64_t> read(const QVariant& stored) { return storedInteger(stored); }
    static std::optional<QVariant> write(std::int64_t value) { return QVariant(qint64(value)); }
};

template <>
struct SettingCoding<double> {
    static std::optional<double> read(const QVariant& stored) { return storedDouble(stored); }
    // A value that is not finite would read as the default: the stored one is kept.
    static std::optional<QVariant> write(double value)
    {
        return std::isfinite(value) ? std::optional(QVariant(value)) : std::nullopt;
    }
};

template <>
struct SettingCoding<QString> {
    static std::optional<QString> read(const QVariant& stored) { return storedString(stored); }
    static std::optional<QVariant> write(const QString& value) { return QVariant(value); }
};

// An empty list removes the key.
template <>
struct SettingCoding<QStringList> {
    static std::optional<QStringList> read(const QVariant& stored)
    {
        if (stored.typeId() == QMetaType::QStringList)
            return stored.toStringList();
        if (const std::optional<QString> single = storedString(stored))
            return QStringList{*single};
        return std::nullopt;
    }
    static std::optional<QVariant> write(const QStringList& value)
    {
        return value.isEmpty() ? QVariant() : QVariant(value);
    }
};

// The case's text; any other text reads as the default.
template <TextCodedEnum E>
struct SettingCoding<E> {
    static std::optional<E> read(const QVariant& stored)
    {
        const std::optional<QString> text = storedString(stored);
        return text ? enumFromText<E>(text->toStdString()) : std::nullopt;
    }
    static std::optional<QVariant> write(E value) { return QVariant(QString::fromLatin1(enumText(value))); }
};

// A date written as ISO 8601 text in UTC; nothing removes the key.
template <>
struct SettingCoding<std::optional<QDateTime>> {
    static std::optional<std::optional<QDateTime>> read(const QVariant& stored)
    {
        const std::optional<QDateTime> date = storedDate(stored);
        return date ? std::optional(date) : std::nullopt;
    }
    static std::optional<QVariant> write(const std::optional<QDateTime>& value)
    {
        return value ? QVariant(storedDateText(*value)) : QVariant();
    }
};

template <>
struct SettingCoding<FilenameTemplate> {
    static std::optional<FilenameTemplate> read(const QVariant& stored)
    {
        const std::optional<QString> text = storedString(stored);
        return text ? std::optional(FilenameTemplate{*text}) : std::nullopt;
    }
    static std::optional<QVariant> write(const FilenameTemplate& value) { return QVariant(value.pattern); }
};

// An address written as text; nothing removes the key.
template <>
struct SettingCoding<std::optional<QUrl>> {
    static std::optional<std::optional<QUrl>> read(const QVariant& stored)
    {
        const std::optional<QString> text = storedString(stored);
        if (!text)
            return std::nullopt;
        const QUrl url(*text, QUrl::StrictMode);
        if (!url.isValid())
            return std::nullopt;
        return std::optional<QUrl>(url);
    }
    static std::optional<QVariant> write(const std::optional<QUrl>& value)
    {
        return value ? QVariant(value->toString()) : QVariant();
    }
};

} // namespace vorlix
