#include "app/importmappingmemory.h"

#include <QSettings>

#include <memory>

namespace {

QString settingsKey(CollectionFormat format)
{
    switch (format) {
    case CollectionFormat::Sd:
        return QStringLiteral("import/sdMapping");
    case CollectionFormat::Smiles:
        return QStringLiteral("import/smilesMapping");
    case CollectionFormat::Csv:
        return QStringLiteral("import/csvMapping");
    case CollectionFormat::Tsv:
        break;
    }
    return QStringLiteral("import/tsvMapping");
}

std::unique_ptr<QSettings> settings()
{
    // An ini file, $XDG_CONFIG_HOME/Flaskbook/Flaskbook.ini, which a user can read and edit.
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Flaskbook"), QStringLiteral("Flaskbook"));
}

} // namespace

FieldMapping proposedMapping(const QStringList& items, CollectionFormat format)
{
    FieldMapping proposed = defaultMapping(items, format);
    FieldMapping remembered;
    if (!FieldMapping::fromText(settings()->value(settingsKey(format)).toString(), remembered).ok())
        return proposed;
    for (auto it = remembered.itemForColumn.cbegin(); it != remembered.itemForColumn.cend(); ++it)
        if (items.contains(it.value()))
            proposed.itemForColumn.insert(it.key(), it.value());
    return proposed;
}

void rememberMapping(const FieldMapping& mapping, CollectionFormat format)
{
    settings()->setValue(settingsKey(format), mapping.toText());
}
