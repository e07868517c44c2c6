#pragma once

#include "core/status.h"
#include "platform/paths.h"

// On a first start, when the data folder holds no Flaskbook.mdb, installs the
// shipped database: the structure pictures are copied into the data folder and the
// chemicals are written with the full paths of their pictures. An existing database
// is never touched. A failure names the folder or file and the reason.
Status installShippedDatabase(const Paths& paths);

// Folder of the chemicals and pictures built into the program.
inline constexpr const char* kShippedDataFolder = ":/shipped";
