#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <vector>

// One "%" directive of a printf-style pattern: where it stands and its conversion letter; '%' for
// "%%" (a plain percent sign), '?' for a "%" that starts no valid conversion.
struct TFormatDirective {
    qsizetype Start = 0;
    qsizetype Length = 0;
    QChar Conversion;
};

std::vector<TFormatDirective> ScanFormat(const QString& pattern);

// The conversion letters of a pattern in order ("%s" gives "s"); "%%" gives nothing, an invalid
// directive "?".
QString FormatDirectives(const QString& pattern);

// Fills a resource string that holds printf directives with texts, in order: each conversion
// takes the next argument as it stands (the caller turns numbers into text; width and precision
// are not applied), "%%" gives "%", an invalid directive and one without argument stay as written.
// A pattern from a catalogue therefore never reads past its arguments.
QString FormatResource(const QString& pattern, const QStringList& args);
