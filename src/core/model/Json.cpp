#include "core/model/Json.h"

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace vorlix {

namespace {

std::string describeType(const Json& v)
{
    switch (v.type()) {
    case Json::value_t::null:
        return "null";
    case Json::value_t::object:
        return "a dictionary";
    case Json::value_t::array:
        return "an array";
    case Json::value_t::string:
        return "a string";
    case Json::value_t::boolean:
        return "a boolean";
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
        return "a number";
    case Json::value_t::binary:
    case Json::value_t::discarded:
        break;
    }
    return "an unsupported value";
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

template <class I>
constexpr const char* integerTypeName()
{
    if constexpr (std::is_same_v<I, std::uint32_t>)
        return "UInt32";
    else if constexpr (std::is_same_v<I, int>)
        return "Int32";
    else
        return "Int64";
}

} // namespace

DecodeError::DecodeError(DecodeErrorKind kind, std::string codingPath, const std::string& description)
    : std::runtime_error(codingPath.empty() ? description : codingPath + ": " + description),
      m_kind(kind),
      m_codingPath(std::move(codingPath)),
      m_description(description)
{
}

std::string JsonValue::codingPath() const
{
    std::vector<const JsonValue*> chain;
    for (const JsonValue* v = this; v && v->m_parent; v = v->m_parent)
        chain.push_back(v);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const JsonValue* v = *it;
        if (v->m_isElement) {
            path += '[';
            path += std::to_string(v->m_index);
            path += ']';
        } else {
            if (!path.empty())
                path += '.';
            path += v->m_key;
        }
    }
    return path;
}

void JsonValue::fail(DecodeErrorKind kind, const std::string& description) const
{
    throw DecodeError(kind, codingPath(), description);
}

void JsonValue::typeMismatch(const char* expected) const
{
    if (m_value->is_null())
        fail(DecodeErrorKind::valueNotFound, std::string("Expected ") + expected + " but found null instead.");
    fail(DecodeErrorKind::typeMismatch,
         std::string("Expected to decode ") + expected + " but found " + describeType(*m_value) + " instead.");
}

void JsonValue::expectObject() const
{
    if (!m_value->is_object())
        typeMismatch("a dictionary");
}

void JsonValue::expectArray() const
{
    if (!m_value->is_array())
        typeMismatch("an array");
}

bool JsonValue::hasKey(std::string_view name) const
{
    return m_value->is_object() && m_value->find(name) != m_value->end();
}

JsonValue JsonValue::key(std::string_view name) const
{
    expectObject();
    const auto it = m_value->find(name);
    if (it == m_value->end())
        fail(DecodeErrorKind::keyNotFound, "No value associated with key \"" + std::string(name) + "\".");
    return JsonValue(&*it, this, name);
}

std::optional<JsonValue> JsonValue::optionalKey(std::string_view name) const
{
    expectObject();
    const auto it = m_value->find(name);
    if (it == m_value->end() || it->is_null())
        return std::nullopt;
    return JsonValue(&*it, this, name);
}

JsonValue JsonValue::element(std::size_t index) const
{
    expectArray();
    if (index >= m_value->size())
        fail(DecodeErrorKind::valueNotFound, "Unkeyed container is at end.");
    return JsonValue(&(*m_value)[index], this, index);
}

std::size_t JsonValue::arraySize() const
{
    expectArray();
    return m_value->size();
}

double JsonValue::toDouble() const
{
    if (!m_value->is_number())
        typeMismatch("a number");
    const double d = m_value->get<double>();
    if (!std::isfinite(d) || std::abs(d) > maximumDecodedMagnitude)
        fail(DecodeErrorKind::dataCorrupted, "The number " + m_value->dump() + " is out of range.");
    return d;
}

template <class I>
I JsonValue::toInteger() const
{
    if (!m_value->is_number())
        typeMismatch("an integer");
    // The parser gives a non-negative integer as unsigned, a negative one as signed,
    // and one outside 64 bits (or any with a fraction or exponent) as a double.
    if (m_value->is_number_unsigned()) {
        const auto u = m_value->get<std::uint64_t>();
        if (std::in_range<I>(u))
            return static_cast<I>(u);
    } else if (m_value->is_number_integer()) {
        const auto i = m_value->get<std::int64_t>();
        if (std::in_range<I>(i))
            return static_cast<I>(i);
    } else {
        // A float token is an integer only when it holds a whole number. The type's
        // bounds are powers of two, exact as doubles: min ≤ d < max + 1.
        const double d = m_value->get<double>();
        if (std::isfinite(d) && d == std::floor(d) && d >= double(std::numeric_limits<I>::min()) &&
            d < std::ldexp(1.0, std::numeric_limits<I>::digits))
            return static_cast<I>(d);
    }
    fail(DecodeErrorKind::dataCorrupted,
         "Parsed JSON number <" + m_value->dump() + "> does not fit in " + integerTypeName<I>() + ".");
}

std::int64_t JsonValue::toInt64() const { return toInteger<std::int64_t>(); }

std::uint32_t JsonValue::toUInt32() const { return toInteger<std::uint32_t>(); }

int JsonValue::toInt() const { return toInteger<int>(); }

bool JsonValue::toBool() const
{
    if (!m_value->is_boolean())
        typeMismatch("a boolean");
    return m_value->get<bool>();
}

const std::string& JsonValue::toStdString() const
{
    if (!m_value->is_string())
        typeMismatch("a string");
    return m_value->get_ref<const std::string&>();
}

QString JsonValue::toString() const
{
    const std::string& s = toStdString();
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QUuid JsonValue::toUuid() const
{
    const std::string& s = toStdString();
    // Only the bare 8-4-4-4-12 form, in either case: no braces, no other spellings.
    bool wellFormed = s.size() == 36;
    for (std::size_t i = 0; wellFormed && i < s.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        wellFormed = dash ? s[i] == '-' : isHexDigit(s[i]);
    }
    if (!wellFormed)
        fail(DecodeErrorKind::dataCorrupted, "Attempted to decode UUID from invalid UUID string.");
    return QUuid::fromString(QLatin1StringView(s.data(), static_cast<qsizetype>(s.size())));
}

Point JsonValue::toPoint() const
{
    expectArray();
    return {element(0).toDouble(), element(1).toDouble()};
}

Size JsonValue::toSize() const
{
    expectArray();
    return {element(0).toDouble(), element(1).toDouble()};
}

Rect JsonValue::toRect() const
{
    expectArray();
    return Rect(element(0).toPoint(), element(1).toSize());
}

Json parseJson(std::string_view text)
{
    try {
        return Json::parse(text.begin(), text.end());
    } catch (const Json::exception& e) {
        throw DecodeError(DecodeErrorKind::dataCorrupted, {},
                          std::string("The given data was not valid JSON. ") + e.what());
    }
}

void failUnknownEnumText(const JsonValue& v, const char* typeName)
{
    v.fail(DecodeErrorKind::dataCorrupted,
           std::string("Cannot initialize ") + typeName + " from invalid String value " + v.toStdString());
}

std::string uuidText(const QUuid& id) { return id.toString(QUuid::WithoutBraces).toUpper().toStdString(); }
Json encodeUuid(const QUuid& id) { return uuidText(id); }
Json encodePoint(Point p) { return Json::array({p.x, p.y}); }
Json encodeSize(Size s) { return Json::array({s.width, s.height}); }
Json encodeRect(const Rect& r) { return Json::array({encodePoint(r.origin), encodeSize(r.size)}); }
Json encodeString(const QString& s) { return s.toStdString(); }

} // namespace vorlix
