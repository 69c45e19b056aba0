#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A small, strict JSON reader (RFC 8259): UTF-8 text only, no byte-order mark, no comments, no
// trailing commas, no duplicate member names, nesting at most 64 deep. Numbers are kept as the
// text they were written as. Writing goes through OutputText::jsonString and bytesString below.
namespace Json {

struct Member;

struct Value
{
    enum class Type { Null, Boolean, Number, String, Array, Object };

    Type type = Type::Null;
    bool boolean = false;
    std::string text;             // a string's UTF-8, or a number as written
    std::vector<Value> items;     // an array's
    std::vector<Member> members;  // an object's, in the order written

    // The member named `name` of an object, or nothing.
    const Value *member(std::string_view name) const;
    // A number that is a whole number from 0 to `largest`, or nothing.
    std::optional<std::size_t> index(std::size_t largest) const;
};

struct Member
{
    std::string name;
    Value value;
};

struct Parsed
{
    std::optional<Value> value;
    std::string error;  // "line L, column C: what is wrong", when there is no value
};

Parsed parse(std::string_view text);

// "string", "number", ...: for messages.
std::string_view typeName(Value::Type type);

// Bytes as a JSON string literal, quotes included: each byte as the character of its own number
// (U+0000-U+00FF), printable ASCII as itself, LF as \n and everything else as \uNNNN, so the
// literal is ASCII and every byte comes back.
std::string bytesString(std::string_view bytes);
// The way back: the bytes a string of characters U+0000-U+00FF stands for; nothing when it holds
// a character above U+00FF.
std::optional<std::string> bytesOf(std::string_view utf8);

}  // namespace Json
