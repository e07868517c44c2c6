#pragma once

#include "core/status.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// A button's saved design settings: values under string keys, kept in the order first written.
// It holds 32-bit integers (int), 16-bit integers (qint16), truth values (bool), strings,
// fonts (QFont) and pictures (QImage).
class PropertyBag {
public:
    // Stores `value` under `key`, in the place of an earlier entry of that key. An invalid
    // QVariant, a picture that is not set, leaves no entry. A font keeps its family, point
    // size, bold, italic, underline and strikeout; a picture keeps its pixels as 32-bit RGB,
    // with alpha when it has any. Returns false and stores nothing for any other type, and
    // for a font without a point size.
    bool WriteProperty(const QString& key, const QVariant& value);

    // The value under `key`, or `defaultValue` when the bag has no entry for it.
    QVariant ReadProperty(const QString& key, const QVariant& defaultValue = QVariant()) const;

    bool contains(const QString& key) const;
    qsizetype count() const { return entries_.size(); }
    QStringList keys() const;

    // One line per entry: key, type and value separated by tabs; tabs, line breaks and
    // backslashes inside keys and strings are written as \t, \n, \r and \\.
    QString toText() const;

    // Reads into `bag` the text toText wrote. Fails for malformed text, naming the first bad
    // line, and leaves `bag` empty.
    static Status fromText(const QString& text, PropertyBag* bag);

private:
    struct Entry {
        QString key;
        QVariant value;
    };
    qsizetype indexOf(const QString& key) const;

    QList<Entry> entries_;
};
