#include "params/sql_text.h"

#include <cctype>

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

size_t SkipDigits(std::string_view text, size_t i) {
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i;
}

} // namespace

std::string QuoteSqlText(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    quoted += '\'';
    return quoted;
}

bool IsSqlNumber(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && text[i] == '-')
        ++i;
    const size_t intStart = i;
    i = SkipDigits(text, i);
    bool digits = i > intStart;
    if (i < text.size() && text[i] == '.') {
        const size_t fracStart = ++i;
        i = SkipDigits(text, i);
        digits = digits || i > fracStart;
    }
    if (!digits)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const size_t expStart = i;
        i = SkipDigits(text, i);
        if (i == expStart)
            return false;
    }
    return i == text.size();
}

bool IsQuotedSqlText(std::string_view text) {
    if (text.size() < 2 || text.front() != '\'' || text.back() != '\'')
        return false;
    const std::string_view inner = text.substr(1, text.size() - 2);
    for (size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] != '\'')
            continue;
        if (i + 1 >= inner.size() || inner[i + 1] != '\'')
            return false;
        ++i;
    }
    return true;
}

std::string AsSqlLiteral(std::string_view text) {
    if (IsSqlNumber(text) || IsQuotedSqlText(text))
        return std::string(text);
    return QuoteSqlText(text);
}

std::string StoredValueText(std::string_view literal) {
    std::string stored;
    stored.reserve(literal.size());
    for (char c : literal) {
        if (c != '\'')
            stored += c;
    }
    return stored;
}
