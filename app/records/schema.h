#pragma once

#include <QString>
#include <QStringList>

// The record layout of table DATA1, declared once in schema.cpp: its columns in table
// order, and which of them the window can search by (each of those has a case-insensitive
// index). The window's own half of each field (box, label, option button) is in
// app/form1_fields.cpp.
const QStringList& recordColumns();
const QStringList& searchableColumns();
// Index of a column name in recordColumns() (case-insensitive), or -1.
int columnIndex(const QString& column);
