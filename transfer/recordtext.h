#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// How an exported record is written: one CSV/TSV row or one SD record, as UTF-8.

// One row of fields separated by `separator` (',' or '\t') and ended by CR LF. In CSV a field
// that holds a comma, a quote or a line end is quoted, its quotes doubled; TSV has no quoting,
// so there a tab or line end inside a field becomes a blank (CSV keeps every value as it is).
QByteArray delimitedRow(const QStringList& fields, char separator);

// One SD record: the stored MOL block (or an empty molecule for none) with `title` as its
// first line, then one "> <name>" data item per field, then "$$$$". SD cannot carry an empty
// line or a line "$$$$" inside a value, so such a line is written with a blank before it.
QByteArray sdRecord(const QString& molBlock, const QString& title, const QStringList& names,
                    const QStringList& values);
