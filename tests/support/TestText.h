#pragma once

#include <QString>
#include <QStringList>

#include <string>

// Texts as the tests compare them.

// A UTF-8 literal (a string-table entry, a Japanese caption) as Qt text.
inline QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The non-empty lines of a program's output.
inline QStringList lines(const std::string &output)
{
    return QString::fromStdString(output).split(u'\n', Qt::SkipEmptyParts);
}
