#include "params/decimal_text.h"

#include "params/conversion_error.h"
#include "params/text_util.h"

#include <QLocale>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

std::optional<char> SetSeparator;

char SystemSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point == QStringLiteral(",") ? ',' : '.';
}

} // namespace

std::optional<int64_t> ParseIntegerText(std::string_view text) {
    const std::string trimmed = TrimText(text);
    std::string_view digits = trimmed;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
        if (digits.empty() || digits.front() == '-')
            return std::nullopt;
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

int32_t IntegerOrThrow(std::string_view text) {
    const auto value = ParseIntegerText(text);
    if (!value || *value < std::numeric_limits<int32_t>::min() ||
        *value > std::numeric_limits<int32_t>::max())
        throw TConversionError(std::string(text));
    return static_cast<int32_t>(*value);
}

std::optional<double> TryParseDecimalText(std::string_view text) {
    std::string normal = TrimText(text);
    for (char& c : normal) {
        if (c == ',')
            c = '.';
    }
    std::string_view number = normal;
    if (!number.empty() && number.front() == '+') {
        number.remove_prefix(1);
        if (!number.empty() && number.front() == '-')
            return std::nullopt;
    }
    // from_chars would also take "inf" and "nan"; a technician's number starts with a digit,
    // a sign or the separator.
    const bool startsLikeNumber =
        !number.empty() && (std::isdigit(static_cast<unsigned char>(number.front())) ||
                            number.front() == '.' || number.front() == '-');
    if (!startsLikeNumber)
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double ParseDecimalText(std::string_view text) {
    return TryParseDecimalText(text).value_or(0.0);
}

char DecimalSeparator() {
    if (!SetSeparator)
        SetSeparator = SystemSeparator();
    return *SetSeparator;
}

void SetDecimalSeparator(char separator) {
    SetSeparator = separator;
}

std::string FormatFloatText(float value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Inf" : "-Inf";
    const float magnitude = std::fabs(value);
    const bool plain = magnitude == 0.0f || (magnitude >= 1e-5f && magnitude < 1e15f);
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value,
                      plain ? std::chars_format::fixed : std::chars_format::scientific);
    std::string text(buffer, result.ptr);
    const char separator = DecimalSeparator();
    for (char& c : text) {
        if (c == '.')
            c = separator;
    }
    return text;
}
