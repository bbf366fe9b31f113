#include "i18n/format_pattern.h"

namespace {

bool IsFlag(QChar c) {
    return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0';
}
bool IsWidth(QChar c) {
    return c.isDigit() || c == '*';
}
bool IsLength(QChar c) {
    return QStringView(u"hlLqjzt").contains(c);
}
bool IsConversion(QChar c) {
    return QStringView(u"diouxXeEfFgGaAcspn").contains(c);
}

// Reads the directive whose "%" stands at start.
TFormatDirective ReadDirective(const QString& text, qsizetype start) {
    qsizetype i = start + 1;
    const auto skip = [&](auto predicate) {
        while (i < text.size() && predicate(text[i]))
            ++i;
    };
    if (i < text.size() && text[i] == '%')
        return {start, 2, '%'};
    skip(IsFlag);
    skip(IsWidth);
    if (i < text.size() && text[i] == '.') {
        ++i;
        skip(IsWidth);
    }
    skip(IsLength);
    if (i < text.size() && IsConversion(text[i]))
        return {start, i + 1 - start, text[i]};
    return {start, 1, '?'};
}

} // namespace

std::vector<TFormatDirective> ScanFormat(const QString& pattern) {
    std::vector<TFormatDirective> directives;
    for (qsizetype i = pattern.indexOf('%'); i >= 0; i = pattern.indexOf('%', i)) {
        directives.push_back(ReadDirective(pattern, i));
        i += directives.back().Length;
    }
    return directives;
}

QString FormatDirectives(const QString& pattern) {
    QString letters;
    for (const TFormatDirective& directive : ScanFormat(pattern)) {
        if (directive.Conversion != '%')
            letters += directive.Conversion;
    }
    return letters;
}

QString FormatResource(const QString& pattern, const QStringList& args) {
    QString result;
    qsizetype done = 0;
    qsizetype next = 0;
    for (const TFormatDirective& directive : ScanFormat(pattern)) {
        result += QStringView(pattern).mid(done, directive.Start - done);
        done = directive.Start + directive.Length;
        const QStringView written = QStringView(pattern).mid(directive.Start, directive.Length);
        if (directive.Conversion == '%')
            result += '%';
        else if (directive.Conversion == '?' || next >= args.size())
            result += written;
        else
            result += args[next++];
    }
    result += QStringView(pattern).mid(done);
    return result;
}
