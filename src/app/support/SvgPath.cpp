#include "app/support/SvgPath.h"

#include <charconv>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vorlix::SvgPath {

namespace {

struct Command {
    char16_t letter;
};
using Token = std::variant<Command, double>;

// Pending number text: ASCII as it came; any other character stands as one that no
// number holds, so the text is dropped when finished.
class Tokenizer {
public:
    std::vector<Token> run(QStringView data)
    {
        for (const QChar c : data) {
            if (c.isLetter()) {
                finish();
                m_tokens.push_back(Command{c.unicode()});
            } else if (c == u'-') {
                finish();
                m_pending = '-';
            } else if (c == u'.') {
                if (m_pending.find('.') != std::string::npos)
                    finish();
                m_pending += '.';
            } else if (c == u',' || c == u' ') {
                finish();
            } else {
                m_pending += c.unicode() < 0x80 ? char(c.unicode()) : '?';
            }
        }
        finish();
        return std::move(m_tokens);
    }

private:
    void finish()
    {
        if (const std::optional<double> number = parseNumber(m_pending))
            m_tokens.push_back(*number);
        m_pending.clear();
    }

    // The whole text as a decimal number with an optional sign; no exponent can reach
    // here (letters are commands). Out of the range of a double counts as no number.
    static std::optional<double> parseNumber(const std::string& text)
    {
        const char* begin = text.data();
        const char* end = begin + text.size();
        if (begin != end && *begin == '+')
            ++begin;
        if (begin != end && *begin == '+')
            return std::nullopt;
        double value = 0;
        const auto [last, error] = std::from_chars(begin, end, value, std::chars_format::fixed);
        if (error != std::errc() || last != end)
            return std::nullopt;
        return value;
    }

    std::vector<Token> m_tokens;
    std::string m_pending;
};

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}

    QPainterPath run()
    {
        // Every turn takes at least one token: a command token itself, or, when the turn
        // repeats the current command for a number, that number.
        while (m_next < m_tokens.size()) {
            if (const Command* command = std::get_if<Command>(&m_tokens[m_next])) {
                m_command = command->letter;
                ++m_next;
            }
            perform();
        }
        // Setting the rule on an empty path would give it a move to the origin.
        if (m_path.elementCount() > 0)
            m_path.setFillRule(Qt::WindingFill);
        return std::move(m_path);
    }

private:
    void perform()
    {
        // Only ASCII letters name commands; other letters are unsupported ones.
        const bool relative = m_command >= u'a' && m_command <= u'z';
        const QPointF origin = relative ? m_current : QPointF();
        std::optional<QPointF> control2;
        switch (relative ? char16_t(m_command - u'a' + u'A') : m_command) {
        case u'Z':
            m_path.closeSubpath();
            m_current = m_subpathStart;
            // Numbers have no place after a close: each is passed over, so that a
            // number never repeats a command that would take nothing.
            if (m_next < m_tokens.size() && std::holds_alternative<double>(m_tokens[m_next]))
                ++m_next;
            break;
        case u'M':
            m_current = origin + point();
            m_subpathStart = m_current;
            m_path.moveTo(m_current);
            m_command = relative ? u'l' : u'L';
            break;
        case u'L':
            m_current = origin + point();
            m_path.lineTo(m_current);
            break;
        case u'H':
            m_current.setX(origin.x() + number());
            m_path.lineTo(m_current);
            break;
        case u'V':
            m_current.setY(origin.y() + number());
            m_path.lineTo(m_current);
            break;
        case u'C': {
            const QPointF c1 = origin + point();
            const QPointF c2 = origin + point();
            const QPointF end = origin + point();
            m_path.cubicTo(c1, c2, end);
            m_current = end;
            control2 = c2;
            break;
        }
        case u'S': {
            const QPointF c1 = m_lastControl2 ? 2 * m_current - *m_lastControl2 : m_current;
            const QPointF c2 = origin + point();
            const QPointF end = origin + point();
            m_path.cubicTo(c1, c2, end);
            m_current = end;
            control2 = c2;
            break;
        }
        default:
            // An unsupported command: the token after it goes, whatever it is; numbers
            // after that come back here one at a time as its repeats.
            if (m_next < m_tokens.size())
                ++m_next;
            break;
        }
        m_lastControl2 = control2;
    }

    double number()
    {
        if (m_next < m_tokens.size()) {
            if (const double* value = std::get_if<double>(&m_tokens[m_next])) {
                ++m_next;
                return *value;
            }
        }
        return 0;
    }

    QPointF point()
    {
        const double x = number();
        const double y = number();
        return {x, y};
    }

    std::vector<Token> m_tokens;
    std::size_t m_next = 0;
    char16_t m_command = u'M';
    QPointF m_current;
    QPointF m_subpathStart;
    std::optional<QPointF> m_lastControl2;
    QPainterPath m_path;
};

} // namespace

QPainterPath parse(QStringView data) { return Parser(Tokenizer().run(data)).run(); }

} // namespace vorlix::SvgPath
