#include "app/support/DefaultsStore.h"

#include "app/support/AppConfig.h"

#include <QRegularExpression>

#include <charconv>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace vorlix {

QSettingsDefaultsStore::QSettingsDefaultsStore()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, AppConfig::organizationName(), AppConfig::name())
{
}

QSettingsDefaultsStore::QSettingsDefaultsStore(const QString& iniFile) : m_settings(iniFile, QSettings::IniFormat) {}

QVariant QSettingsDefaultsStore::object(const QString& key) const { return m_settings.value(key); }

void QSettingsDefaultsStore::set(const QString& key, const QVariant& value)
{
    if (!value.isValid()) {
        remove(key);
        return;
    }
    m_settings.setValue(key, value);
}

void QSettingsDefaultsStore::remove(const QString& key) { m_settings.remove(key); }

void QSettingsDefaultsStore::sync() { m_settings.sync(); }

void MemoryDefaultsStore::set(const QString& key, const QVariant& value)
{
    if (!value.isValid()) {
        remove(key);
        return;
    }
    m_values.insert(key, value);
    m_writes[key] = writeCount(key) + 1;
}

void MemoryDefaultsStore::remove(const QString& key)
{
    m_values.remove(key);
    m_writes[key] = writeCount(key) + 1;
}

// ---- Conversions

namespace {

bool isText(const QVariant& v) { return v.typeId() == QMetaType::QString; }

} // namespace

std::optional<bool> storedBool(const QVariant& v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (isText(v)) {
        const QString text = v.toString();
        if (text == u"true"_s)
            return true;
        if (text == u"false"_s)
            return false;
    }
    return std::nullopt;
}

std::optional<std::int64_t> storedInteger(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return v.toLongLong();
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort: {
        const qulonglong u = v.toULongLong();
        if (u > static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max()))
            return std::nullopt;
        return static_cast<std::int64_t>(u);
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        // A whole number held as a floating-point value still is that number.
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::abs(d) >= 9.2e18)
            return std::nullopt;
        return static_cast<std::int64_t>(d);
    }
    case QMetaType::QString: {
        const QByteArray text = v.toString().toLatin1();
        const char* begin = text.constData();
        const char* end = begin + text.size();
        if (begin != end && *begin == '+')
            ++begin;
        if (begin == end || (*begin == '-' && begin + 1 == end))
            return std::nullopt;
        std::int64_t value = 0;
        const auto [ptr, error] = std::from_chars(begin, end, value);
        if (error != std::errc() || ptr != end)
            return std::nullopt;
        return value;
    }
    default:
        return std::nullopt;
    }
}

std::optional<double> storedDouble(const QVariant& v)
{
    double d = 0;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        d = v.toDouble();
        break;
    case QMetaType::QString: {
        const QString text = v.toString();
        if (text.trimmed() != text)
            return std::nullopt;
        bool ok = false;
        d = text.toDouble(&ok);
        if (!ok)
            return std::nullopt;
        break;
    }
    default:
        return std::nullopt;
    }
    if (!std::isfinite(d))
        return std::nullopt;
    return d;
}

std::optional<QString> storedString(const QVariant& v)
{
    if (!isText(v))
        return std::nullopt;
    return v.toString();
}

std::optional<QByteArray> storedBytes(const QVariant& v)
{
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    if (isText(v))
        return v.toString().toUtf8();
    return std::nullopt;
}

std::optional<QDateTime> internetDateTime(const QString& text)
{
    static const QRegularExpression form(
        u"^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}(\\.\\d{1,3})?(Z|[+-]\\d{2}:\\d{2})$"_s);
    if (!form.match(text).hasMatch())
        return std::nullopt;
    const QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QDateTime> storedDate(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime date = v.toDateTime();
        return date.isValid() ? std::optional(date) : std::nullopt;
    }
    if (isText(v))
        return internetDateTime(v.toString());
    return std::nullopt;
}

QString storedDateText(const QDateTime& date) { return date.toUTC().toString(Qt::ISODateWithMs); }

} // namespace vorlix
