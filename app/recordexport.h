#pragma once

#include "core/status.h"

#include <QPixmap>
#include <QString>
#include <QStringList>

#include <utility>

class QPrinter;

// A record's fields in table order, each as its label and its text.
using LabelledFields = QList<std::pair<QString, QString>>;

// The shown record's fields as labelled lines: each label followed by the field text.
// A field of several lines keeps its line breaks, so it spans several lines of the block.
QStringList recordTextLines(const LabelledFields& fields);

// Appends the record's text block to `path` (created if missing): a line of 24 blanks,
// then the labelled lines, every line ending in CR LF, in the system's 8-bit encoding.
// Anything but a regular file at `path` is refused before it is opened.
Status appendRecordText(const QString& path, const LabelledFields& fields);

// Prints the labelled lines on one page of `printer`, the structure picture below them.
// An output file that is not a regular file is refused before it is opened.
Status printRecord(QPrinter* printer, const LabelledFields& fields, const QPixmap& picture);
