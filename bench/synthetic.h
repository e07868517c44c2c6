#pragma once

#include "core/status.h"

#include <QString>

#include <array>
#include <string>
#include <vector>

// One generated record, in the column order of table DATA1.
using SyntheticRow = std::array<std::string, 11>;

// Record number `number` (counted from 1, and its rowid in a freshly built file). The same
// number always gives the same record, so any record can be known without reading the file.
SyntheticRow syntheticRow(long long number);
std::string syntheticName(long long number);

// Creates `path` with Database::CreateDatabase() and fills it with records 1..count in one
// transaction; with `structures`, record n holds structure n of them (round robin).
Status buildSyntheticDatabase(const QString& path, long long count,
                              const std::vector<std::string>& structures = {});
