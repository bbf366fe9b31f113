#pragma once

#include <QString>

#include <ostream>

// Lets test failures show QString values as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
