#pragma once

#include "transfer/collectionfile.h"
#include "transfer/fieldmapping.h"

#include <QStringList>

// The import mapping Flaskbook proposes for a file: the one last chosen for files of its
// format, for each column whose item the file has, and the default mapping for the others.
FieldMapping proposedMapping(const QStringList& items, CollectionFormat format);
// Keeps `mapping` for the next file of this format, in Flaskbook's settings under
// $XDG_CONFIG_HOME.
void rememberMapping(const FieldMapping& mapping, CollectionFormat format);
