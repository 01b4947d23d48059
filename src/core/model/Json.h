#pragma once
// Strict JSON reading for every stored record.
//
// A `JsonValue` is a view of one value inside a parsed document together with the
// way it was reached, so that an error can name its coding path
// ("panels[2].annotations[0].style.fill") without building that text on the
// happy path. Every primitive read checks the JSON type exactly. A floating-point
// read refuses numbers that are not finite or whose magnitude no document of ours
// can hold; an integer read takes any whole number within its type's range, written
// as an integer or as a whole floating-point number (3.0), and refuses 3.5.

#include "core/model/Geometry.h"

#include <QString>
#include <QUuid>

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace vorlix {

using Json = nlohmann::json;

enum class DecodeErrorKind { keyNotFound, valueNotFound, typeMismatch, dataCorrupted };

class DecodeError : public std::runtime_error {
public:
    DecodeError(DecodeErrorKind kind, std::string codingPath, const std::string& description);

    DecodeErrorKind kind() const { return m_kind; }
    const std::string& codingPath() const { return m_codingPath; }
    const std::string& description() const { return m_description; }

private:
    DecodeErrorKind m_kind;
    std::string m_codingPath;
    std::string m_description;
};

// Largest magnitude accepted for a decoded floating-point number. Coordinates, sizes
// and widths of real documents stay far below it; anything larger is damage or an
// attack, and would overflow pixel arithmetic later.
inline constexpr double maximumDecodedMagnitude = 1e7;

class JsonValue {
public:
    explicit JsonValue(const Json& root) : m_value(&root) {}

    const Json& raw() const { return *m_value; }
    bool isNull() const { return m_value->is_null(); }

    // The value under a key; fails with keyNotFound when it is absent and
    // valueNotFound when it is null.
    JsonValue key(std::string_view name) const;
    // The value under a key, or nothing when it is absent or null (tolerant records).
    std::optional<JsonValue> optionalKey(std::string_view name) const;
    bool hasKey(std::string_view name) const;
    JsonValue element(std::size_t index) const;
    std::size_t arraySize() const;

    double toDouble() const;
    std::int64_t toInt64() const;
    std::uint32_t toUInt32() const;
    int toInt() const;
    bool toBool() const;
    QString toString() const;
    const std::string& toStdString() const;
    QUuid toUuid() const;
    Point toPoint() const;
    Size toSize() const;
    Rect toRect() const;

    void expectObject() const;
    void expectArray() const;

    template <class F>
    auto toArray(F&& decodeElement) const
    {
        expectArray();
        using T = std::invoke_result_t<F, const JsonValue&>;
        std::vector<T> out;
        out.reserve(m_value->size());
        for (std::size_t i = 0; i < m_value->size(); ++i)
            out.push_back(decodeElement(element(i)));
        return out;
    }

    // Calls f(key, value) for every member of an object, in key order.
    template <class F>
    void forEachMember(F&& f) const
    {
        expectObject();
        for (auto it = m_value->begin(); it != m_value->end(); ++it) {
            const JsonValue child(&it.value(), this, it.key());
            f(it.key(), child);
        }
    }

    [[noreturn]] void fail(DecodeErrorKind kind, const std::string& description) const;
    std::string codingPath() const;

private:
    JsonValue(const Json* value, const JsonValue* parent, std::string_view key)
        : m_value(value), m_parent(parent), m_key(key)
    {
    }
    JsonValue(const Json* value, const JsonValue* parent, std::size_t index)
        : m_value(value), m_parent(parent), m_index(index), m_isElement(true)
    {
    }

    [[noreturn]] void typeMismatch(const char* expected) const;
    template <class I>
    I toInteger() const;

    const Json* m_value;
    const JsonValue* m_parent = nullptr;
    std::string_view m_key;
    std::size_t m_index = 0;
    bool m_isElement = false;
};

// Parses JSON text; a syntax error becomes a dataCorrupted DecodeError at the root.
Json parseJson(std::string_view text);

// ---- Encoding helpers for platform values -------------------------------------------

std::string uuidText(const QUuid& id);
Json encodeUuid(const QUuid& id);
Json encodePoint(Point p);
Json encodeSize(Size s);
Json encodeRect(const Rect& r);
Json encodeString(const QString& s);

// ---- Enumerations coded by their text ----------------------------------------------
// Each enumeration lists its cases with their texts once, in declaration order:
//   template <> struct EnumTexts<FillMode> {
//       static constexpr std::array table{std::pair{FillMode::none, "none"}, ...};
//       static constexpr const char* typeName = "FillMode";
//   };

template <class E>
struct EnumTexts;

template <class E>
concept TextCodedEnum = std::is_enum_v<E> && requires
{
    EnumTexts<E>::table;
};

template <TextCodedEnum E>
constexpr std::string_view enumText(E value)
{
    for (const auto& [e, text] : EnumTexts<E>::table)
        if (e == value)
            return text;
    return {};
}

template <TextCodedEnum E>
constexpr std::optional<E> enumFromText(std::string_view text)
{
    for (const auto& [e, t] : EnumTexts<E>::table)
        if (text == t)
            return e;
    return std::nullopt;
}

template <TextCodedEnum E>
constexpr auto allCases()
{
    std::array<E, EnumTexts<E>::table.size()> out{};
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = EnumTexts<E>::table[i].first;
    return out;
}

// ---- Generic coding ------------------------------------------------------------------
// JsonCoding<T>::decode / encode for every field type; records specialise it.

template <class T>
struct JsonCoding;

template <>
struct JsonCoding<double> {
    static double decode(const JsonValue& v) { return v.toDouble(); }
    static Json encode(double d) { return d; }
};
template <>
struct JsonCoding<std::int64_t> {
    static std::int64_t decode(const JsonValue& v) { return v.toInt64(); }
    static Json encode(std::int64_t i) { return i; }
};
template <>
struct JsonCoding<std::uint32_t> {
    static std::uint32_t decode(const JsonValue& v) { return v.toUInt32(); }
    static Json encode(std::uint32_t i) { return i; }
};
template <>
struct JsonCoding<int> {
    static int decode(const JsonValue& v) { return v.toInt(); }
    static Json encode(int i) { return i; }
};
template <>
struct JsonCoding<bool> {
    static bool decode(const JsonValue& v) { return v.toBool(); }
    static Json encode(bool b) { return b; }
};
template <>
struct JsonCoding<QString> {
    static QString decode(const JsonValue& v) { return v.toString(); }
    static Json encode(const QString& s) { return encodeString(s); }
};
template <>
struct JsonCoding<QUuid> {
    static QUuid decode(const JsonValue& v) { return v.toUuid(); }
    static Json encode(const QUuid& id) { return encodeUuid(id); }
};
template <>
struct JsonCoding<Point> {
    static Point decode(const JsonValue& v) { return v.toPoint(); }
    static Json encode(Point p) { return encodePoint(p); }
};
template <>
struct JsonCoding<Size> {
    static Size decode(const JsonValue& v) { return v.toSize(); }
    static Json encode(Size s) { return encodeSize(s); }
};
template <>
struct JsonCoding<Rect> {
    static Rect decode(const JsonValue& v) { return v.toRect(); }
    static Json encode(const Rect& r) { return encodeRect(r); }
};

[[noreturn]] void failUnknownEnumText(const JsonValue& v, const char* typeName);

template <TextCodedEnum E>
struct JsonCoding<E> {
    static E decode(const JsonValue& v)
    {
        if (auto e = enumFromText<E>(v.toStdString()))
            return *e;
        failUnknownEnumText(v, EnumTexts<E>::typeName);
    }
    static Json encode(E e) { return std::string(enumText(e)); }
};

template <class T>
struct JsonCoding<std::vector<T>> {
    static std::vector<T> decode(const JsonValue& v)
    {
        return v.toArray([](const JsonValue& e) { return JsonCoding<T>::decode(e); });
    }
    static Json encode(const std::vector<T>& items)
    {
        Json out = Json::array();
        for (const T& item : items)
            out.push_back(JsonCoding<T>::encode(item));
        return out;
    }
};

template <class T>
T decodeJson(const JsonValue& v)
{
    return JsonCoding<T>::decode(v);
}

template <class T>
Json encodeJson(const T& value)
{
    return JsonCoding<T>::encode(value);
}

// ---- Field tables ----------------------------------------------------------------------
// A record lists its fields once, in decoding order:
//   constexpr auto fields = std::tuple{required("id", &Panel::id), field("scale", &Panel::scale)};
// `field` rows are tolerant: a missing key or null keeps the value the record already has
// (its default). Optional members are left out of the JSON when empty.

template <class R, class T>
struct FieldRow {
    const char* key;
    T R::*member;
    bool required;
};

template <class R, class T>
constexpr FieldRow<R, T> field(const char* key, T R::*member)
{
    return {key, member, false};
}

template <class R, class T>
constexpr FieldRow<R, T> required(const char* key, T R::*member)
{
    return {key, member, true};
}

namespace detail {
template <class T>
struct IsOptional : std::false_type {
};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {
};

template <class R, class T>
void decodeRow(const JsonValue& object, R& record, const FieldRow<R, T>& row)
{
    if (row.required) {
        const JsonValue v = object.key(row.key);
        if constexpr (IsOptional<T>::value)
            record.*row.member = decodeJson<typename T::value_type>(v);
        else
            record.*row.member = decodeJson<T>(v);
        return;
    }
    if (auto v = object.optionalKey(row.key)) {
        if constexpr (IsOptional<T>::value)
            record.*row.member = decodeJson<typename T::value_type>(*v);
        else
            record.*row.member = decodeJson<T>(*v);
    } else if constexpr (IsOptional<T>::value) {
        record.*row.member = std::nullopt;
    }
}

template <class R, class T>
void encodeRow(Json& object, const R& record, const FieldRow<R, T>& row)
{
    const T& value = record.*row.member;
    if constexpr (IsOptional<T>::value) {
        if (value)
            object[row.key] = encodeJson(*value);
    } else {
        object[row.key] = encodeJson(value);
    }
}
} // namespace detail

template <class R, class... Rows>
void decodeFields(const JsonValue& object, R& record, const std::tuple<Rows...>& rows)
{
    object.expectObject();
    std::apply([&](const auto&... row) { (detail::decodeRow(object, record, row), ...); }, rows);
}

template <class R, class... Rows>
void encodeFields(Json& object, const R& record, const std::tuple<Rows...>& rows)
{
    std::apply([&](const auto&... row) { (detail::encodeRow(object, record, row), ...); }, rows);
}

template <class R, class... Rows>
R decodeRecord(const JsonValue& object, const std::tuple<Rows...>& rows)
{
    R record;
    decodeFields(object, record, rows);
    return record;
}

template <class R, class... Rows>
Json encodeRecord(const R& record, const std::tuple<Rows...>& rows)
{
    Json object = Json::object();
    encodeFields(object, record, rows);
    return object;
}

} // namespace vorlix
