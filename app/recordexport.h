#pragma once

#include "core/status.h"

#include <QPixmap>
#include <QString>
#include <QStringList>

class QPrinter;

// The shown record's ten field texts, in table order, as labelled lines: each a
// 26-character label followed by the field text. A field of several lines keeps its
// line breaks, so it spans several lines of the block.
QStringList recordTextLines(const QStringList& fieldTexts);

// Appends the record's text block to `path` (created if missing): a line of 24 blanks,
// then the labelled lines, every line ending in CR LF, in the system's 8-bit encoding.
// Anything but a regular file at `path` is refused before it is opened.
Status appendRecordText(const QString& path, const QStringList& fieldTexts);

// Prints the labelled lines on one page of `printer`, the structure picture below them.
// An output file that is not a regular file is refused before it is opened.
Status printRecord(QPrinter* printer, const QStringList& fieldTexts, const QPixmap& picture);
