#include "cli/Json.h"

#include "text/Hex.h"
#include "text/Utf8.h"

#include <functional>
#include <set>

namespace Json {
namespace {

constexpr int kDeepest = 64;

class Parser
{
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    Parsed run()
    {
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF")
            return failed("a byte-order mark is not JSON");
        skipBlanks();
        std::optional<Value> value = parseValue(0);
        if (value) {
            skipBlanks();
            if (m_at < m_text.size())
                return failed("more text after the document");
        }
        if (!value)
            return {std::nullopt, m_error};
        return {std::move(value), {}};
    }

private:
    Parsed failed(const std::string &what)
    {
        fail(what);
        return {std::nullopt, m_error};
    }

    // Records the first failure, with where it happened.
    std::nullopt_t fail(const std::string &what)
    {
        if (m_error.empty()) {
            std::size_t line = 1;
            std::size_t column = 1;
            for (std::size_t i = 0; i < m_at && i < m_text.size(); ++i) {
                if (m_text[i] == '\n') {
                    ++line;
                    column = 1;
                } else if (!Utf8::IsContinuation(static_cast<unsigned char>(m_text[i]))) {
                    ++column;
                }
            }
            m_error = "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
        }
        return std::nullopt;
    }

    bool refuse(const std::string &what)
    {
        fail(what);
        return false;
    }

    bool atEnd() const { return m_at >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_at]; }

    void skipBlanks()
    {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++m_at;
    }

    bool consume(char c)
    {
        if (peek() != c || atEnd())
            return false;
        ++m_at;
        return true;
    }

    std::optional<Value> parseValue(int depth)
    {
        if (depth > kDeepest)
            return fail("nested deeper than " + std::to_string(kDeepest) + " levels");
        if (atEnd())
            return fail("a value is missing");
        switch (peek()) {
        case '{': return parseObject(depth);
        case '[': return parseArray(depth);
        case '"': {
            std::optional<std::string> text = parseString();
            if (!text)
                return std::nullopt;
            Value value;
            value.type = Value::Type::String;
            value.text = std::move(*text);
            return value;
        }
        case 't': return parseLiteral("true", Value::Type::Boolean, true);
        case 'f': return parseLiteral("false", Value::Type::Boolean, false);
        case 'n': return parseLiteral("null", Value::Type::Null, false);
        default: return parseNumber();
        }
    }

    std::optional<Value> parseLiteral(std::string_view word, Value::Type type, bool boolean)
    {
        if (m_text.substr(m_at, word.size()) != word)
            return fail("not a JSON value");
        m_at += word.size();
        Value value;
        value.type = type;
        value.boolean = boolean;
        return value;
    }

    bool digitsFollow()
    {
        const std::size_t start = m_at;
        while (!atEnd() && peek() >= '0' && peek() <= '9')
            ++m_at;
        return m_at > start;
    }

    std::optional<Value> parseNumber()
    {
        const std::size_t start = m_at;
        consume('-');
        if (peek() == '0') {
            ++m_at;
        } else if (!(peek() >= '1' && peek() <= '9') || !digitsFollow()) {
            return fail("not a JSON value");
        }
        if (consume('.') && !digitsFollow())
            return fail("a number needs digits after its point");
        if (peek() == 'e' || peek() == 'E') {
            ++m_at;
            if (!consume('+'))
                consume('-');
            if (!digitsFollow())
                return fail("a number needs digits in its exponent");
        }
        Value value;
        value.type = Value::Type::Number;
        value.text = std::string(m_text.substr(start, m_at - start));
        return value;
    }

    std::optional<unsigned> hexQuad()
    {
        unsigned value = 0;
        for (int i = 0; i < 4; ++i, ++m_at) {
            const int digit = Hex::DigitValue(peek());
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        return value;
    }

    // \uNNNN, with a surrogate pair read as one character.
    bool parseUnicodeEscape(std::string &out)
    {
        const std::optional<unsigned> first = hexQuad();
        if (!first)
            return refuse("\\u needs four hex digits");
        char32_t c = *first;
        if (c >= 0xDC00 && c <= 0xDFFF)
            return refuse("a lone low surrogate");
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (!consume('\\') || !consume('u'))
                return refuse("a high surrogate without its low surrogate");
            const std::optional<unsigned> second = hexQuad();
            if (!second || *second < 0xDC00 || *second > 0xDFFF)
                return refuse("a high surrogate without its low surrogate");
            c = 0x10000 + ((c - 0xD800) << 10) + (*second - 0xDC00);
        }
        Utf8::Append(out, c);
        return true;
    }

    std::optional<std::string> parseString()
    {
        ++m_at;  // the opening quote
        std::string out;
        for (;;) {
            if (atEnd())
                return fail("a string is not closed");
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"') {
                ++m_at;
                return out;
            }
            if (c < 0x20)
                return fail("a control character in a string must be escaped");
            if (c == '\\') {
                ++m_at;
                if (!parseEscape(out))
                    return std::nullopt;
                continue;
            }
            if (c < 0x80) {
                out += static_cast<char>(c);
                ++m_at;
                continue;
            }
            const std::size_t length = Utf8::DecodeAt(m_text, m_at).length;
            if (length == 0)
                return fail("the text is not UTF-8");
            out += m_text.substr(m_at, length);
            m_at += length;
        }
    }

    bool parseEscape(std::string &out)
    {
        const char kind = peek();
        ++m_at;
        switch (kind) {
        case '"': out += '"'; return true;
        case '\\': out += '\\'; return true;
        case '/': out += '/'; return true;
        case 'b': out += '\b'; return true;
        case 'f': out += '\f'; return true;
        case 'n': out += '\n'; return true;
        case 'r': out += '\r'; return true;
        case 't': out += '\t'; return true;
        case 'u': return parseUnicodeEscape(out);
        default: --m_at; return refuse("an unknown escape in a string");
        }
    }

    std::optional<Value> parseArray(int depth)
    {
        ++m_at;
        Value array;
        array.type = Value::Type::Array;
        skipBlanks();
        if (consume(']'))
            return array;
        for (;;) {
            skipBlanks();
            std::optional<Value> item = parseValue(depth + 1);
            if (!item)
                return std::nullopt;
            array.items.push_back(std::move(*item));
            skipBlanks();
            if (consume(']'))
                return array;
            if (!consume(','))
                return fail("expected ',' or ']'");
        }
    }

    std::optional<Value> parseObject(int depth)
    {
        ++m_at;
        Value object;
        object.type = Value::Type::Object;
        skipBlanks();
        if (consume('}'))
            return object;
        // The names so far, each looked up in logarithmic time: a document of many thousand
        // names must not take a comparison of each with all before it.
        std::set<std::string, std::less<>> names;
        for (;;) {
            skipBlanks();
            if (peek() != '"' || atEnd())
                return fail("expected a member name in quotes");
            const std::size_t nameAt = m_at;
            std::optional<std::string> name = parseString();
            if (!name)
                return std::nullopt;
            if (!names.insert(*name).second) {
                m_at = nameAt;
                return fail("the member \"" + *name + "\" is given twice");
            }
            skipBlanks();
            if (!consume(':'))
                return fail("expected ':'");
            skipBlanks();
            std::optional<Value> value = parseValue(depth + 1);
            if (!value)
                return std::nullopt;
            object.members.push_back({std::move(*name), std::move(*value)});
            skipBlanks();
            if (consume('}'))
                return object;
            if (!consume(','))
                return fail("expected ',' or '}'");
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
    std::string m_error;
};

}  // namespace

const Value *Value::member(std::string_view name) const
{
    for (const Member &candidate : members) {
        if (candidate.name == name)
            return &candidate.value;
    }
    return nullptr;
}

std::optional<std::size_t> Value::index(std::size_t largest) const
{
    if (type != Type::Number || text.empty() || text.size() > 9)
        return std::nullopt;
    std::size_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    if (value > largest)
        return std::nullopt;
    return value;
}

Parsed parse(std::string_view text)
{
    return Parser(text).run();
}

std::string_view typeName(Value::Type type)
{
    switch (type) {
    case Value::Type::Null: return "null";
    case Value::Type::Boolean: return "true or false";
    case Value::Type::Number: return "a number";
    case Value::Type::String: return "a string";
    case Value::Type::Array: return "an array";
    case Value::Type::Object: return "an object";
    }
    return {};
}

std::string bytesString(std::string_view bytes)
{
    std::string literal = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            literal += c;
        } else if (c == '\n') {
            literal += "\\n";
        } else {
            literal += "\\u" + Hex::Digits(byte, 4, Hex::Case::Lower);
        }
    }
    return literal + '"';
}

std::optional<std::string> bytesOf(std::string_view utf8)
{
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto [c, length] = Utf8::DecodeAt(utf8, i);
        if (length == 0 || c > 0xFF)
            return std::nullopt;
        bytes += static_cast<char>(c);
        i += length;
    }
    return bytes;
}

}  // namespace Json
