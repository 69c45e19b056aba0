#include "menu/MenuCaption.h"

#include "text/Utf8.h"

#include <algorithm>

namespace MenuCaption {

namespace {

std::string asciiLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

}  // namespace

Parts split(std::string_view caption)
{
    const std::size_t first = caption.find('\t');
    if (first == std::string_view::npos)
        return {std::string(caption), {}, false};
    const std::size_t last = caption.rfind('\t');
    return {std::string(caption.substr(0, first)), std::string(caption.substr(last + 1)), true};
}

std::string withoutMnemonicMarks(std::string_view label)
{
    std::string shown;
    shown.reserve(label.size());
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size())
            ++i;  // "&x" shows x, "&&" shows "&"
        shown += label[i];
    }
    return shown;
}

std::string mnemonicOf(std::string_view caption)
{
    const std::string_view label = caption.substr(0, caption.find('\t'));
    for (std::size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&')
            continue;
        if (label[i + 1] == '&') {
            ++i;  // an escaped "&", no mnemonic
            continue;
        }
        // The whole character after the "&"; a byte that starts none stands for itself.
        const std::size_t length = std::max<std::size_t>(Utf8::DecodeAt(label, i + 1).length, 1);
        return asciiLower(label.substr(i + 1, length));
    }
    return {};
}

int findMnemonic(const std::vector<std::string> &captions, std::string_view typed)
{
    const std::string key = asciiLower(typed);
    if (key.empty() || key == " ")
        return -1;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (mnemonicOf(captions[i]) == key)
            return static_cast<int>(i);
    }
    return -1;
}

std::vector<std::string> alignAcceleratorColumn(const std::vector<std::string> &captions, const TextWidth &width)
{
    int column = 0;
    for (const std::string &caption : captions)
        column = std::max(column, width(split(caption).label + ' '));

    const int spaceWidth = width(" ");
    std::vector<std::string> aligned;
    aligned.reserve(captions.size());
    for (const std::string &caption : captions) {
        const std::size_t tab = caption.find('\t');
        if (tab == std::string::npos) {
            aligned.push_back(caption);
            continue;
        }
        std::string label = caption.substr(0, tab);
        // Pad with as many spaces as the gap takes at once, then top up one at a time: the width
        // of a run of spaces is not always their count times one space.
        int current = width(label);
        if (current < column && spaceWidth > 0)
            label.append(static_cast<std::size_t>((column - current) / spaceWidth), ' ');
        for (current = width(label); current < column;) {
            label += ' ';
            const int grown = width(label);
            if (grown <= current)
                break;  // a font whose space has no width
            current = grown;
        }
        aligned.push_back(label + caption.substr(tab));
    }
    return aligned;
}

}  // namespace MenuCaption
