#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The rule a decimal edit of the pages applies to every change of its text, whatever caused it.
// Texts are CP932 bytes: lengths count bytes, and only ASCII forms a number.
//
// - Only the first `charactersRead` characters are read; x is their leading number.
// - A text longer than `longestText` becomes `lowerText` when x is below zero, else `upperText`.
//   Where `lengthRuleSettles`, that is the end of it.
// - Otherwise, only while the edit has the input focus and still with the x read first: x below
//   the value of `lowerText` becomes `lowerText`, above that of `upperText` becomes `upperText`,
//   and x strictly between -`smallestStep` and `smallestStep` other than zero becomes "0.0".
// The rule never rounds.
struct DecimalRule
{
    std::size_t charactersRead;
    std::size_t longestText;
    std::string_view lowerText;
    std::string_view upperText;
    double smallestStep;
    bool lengthRuleSettles;

    // The text that replaces `bytes`, or nothing when it stays.
    std::optional<std::string> apply(std::string_view bytes, bool hasFocus) const;
};
