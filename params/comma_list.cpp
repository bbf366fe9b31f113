#include "params/comma_list.h"

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

size_t SkipBlanks(std::string_view text, size_t i) {
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return i;
}

// Reads a quoted item starting at the opening quote; returns the position after the closing
// quote (or the end when the quote is never closed).
size_t ReadQuoted(std::string_view text, size_t i, std::string& item) {
    for (++i; i < text.size(); ++i) {
        if (text[i] != '"') {
            item += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
            item += '"';
            ++i;
        } else {
            return i + 1;
        }
    }
    return i;
}

size_t ReadPlain(std::string_view text, size_t i, std::string& item) {
    while (i < text.size() && text[i] != ',' && !IsBlank(text[i]))
        item += text[i++];
    return i;
}

} // namespace

std::vector<std::string> SplitCommaList(std::string_view text) {
    std::vector<std::string> items;
    size_t i = SkipBlanks(text, 0);
    while (i < text.size()) {
        std::string item;
        i = text[i] == '"' ? ReadQuoted(text, i, item) : ReadPlain(text, i, item);
        items.push_back(std::move(item));
        i = SkipBlanks(text, i);
        if (i < text.size() && text[i] == ',') {
            ++i;
            if (i == text.size())
                items.emplace_back();
            i = SkipBlanks(text, i);
        }
    }
    return items;
}
