#pragma once

#include "core/status.h"

#include <QString>
#include <QStringList>

// The record layout of table DATA1: eleven text columns in this order.
const QStringList& recordColumns();
// The columns the window can search by; each has a case-insensitive index.
const QStringList& searchableColumns();
// Index of a column name in recordColumns() (case-insensitive), or -1.
int columnIndex(const QString& column);

// Creates a new database file holding an empty table DATA1 with its indexes.
// Fails if the file exists already.
Status createDatabase(const QString& path);
