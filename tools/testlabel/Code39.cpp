#include "Code39.h"

#include <array>
#include <stdexcept>
#include <string>

namespace Code39 {

namespace {

struct Symbol
{
    char character;
    const char *elements;  // nine elements, bar first: 'n' narrow, 'w' wide
};

constexpr std::array<Symbol, 44> kSymbols{{
    {'0', "nnnwwnwnn"}, {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"},
    {'4', "nnnwwnnnw"}, {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"},
    {'8', "wnnwnnwnn"}, {'9', "nnwwnnwnn"}, {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"},
    {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"}, {'F', "nnwnwwnnn"},
    {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
    {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"},
    {'O', "wnnnwnnwn"}, {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"},
    {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"}, {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"},
    {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"}, {'Z', "nwwnwnnnn"},
    {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'*', "nwnnwnwnn"},
    {'$', "nwnwnwnnn"}, {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"}, {'%', "nnnwnwnwn"},
}};

const char *elementsOf(char character)
{
    for (const Symbol &symbol : kSymbols) {
        if (symbol.character == character)
            return symbol.elements;
    }
    throw std::invalid_argument("Code 39 has no character '" + std::string(1, character) + "'");
}

}  // namespace

BarPattern encode(std::string_view text, int narrowPx, int widePx)
{
    BarPattern pattern;
    for (const char character : text) {
        if (!pattern.empty())
            pattern.push_back(narrowPx);  // the gap between characters
        for (const char *element = elementsOf(character); *element != '\0'; ++element)
            pattern.push_back(*element == 'w' ? widePx : narrowPx);
    }
    return pattern;
}

}  // namespace Code39
