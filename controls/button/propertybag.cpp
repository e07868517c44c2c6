#include "controls/button/propertybag.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QLocale>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

const QString int32Type = QStringLiteral("int32");
const QString int16Type = QStringLiteral("int16");
const QString boolType = QStringLiteral("bool");
const QString stringType = QStringLiteral("string");
const QString fontType = QStringLiteral("font");
const QString pictureType = QStringLiteral("picture");

QFont makeFont(const QString& family, qreal pointSize, bool bold, bool italic, bool underline,
               bool strikeOut)
{
    QFont font;
    // One name as it stands: QFont(family) would split it at commas and strip its quotes.
    font.setFamilies({family});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    return font;
}

// Only what the text keeps is kept in memory too, so a bag equals its round trip.
QImage plainPicture(const QImage& picture)
{
    if (picture.isNull())
        return picture;
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                             : QImage::Format_RGB32);
}

// The characters written as a backslash and a letter, and their letters.
constexpr std::array<std::pair<char16_t, char16_t>, 4> escapes{
    {{u'\\', u'\\'}, {u'\t', u't'}, {u'\n', u'n'}, {u'\r', u'r'}}};

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const auto* escape = std::find_if(escapes.begin(), escapes.end(),
                                          [c](const auto& e) { return e.first == c.unicode(); });
        if (escape == escapes.end())
            out += c;
        else
            out += QLatin1Char('\\') + QChar(escape->second);
    }
    return out;
}

bool unescape(const QString& text, QString* out)
{
    out->clear();
    out->reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\')) {
            *out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        const char16_t letter = text[i].unicode();
        const auto* escape = std::find_if(escapes.begin(), escapes.end(),
                                          [letter](const auto& e) { return e.second == letter; });
        if (escape == escapes.end())
            return false;
        *out += QChar(escape->first);
    }
    return true;
}

QString truthText(bool value)
{
    return value ? QStringLiteral("-1") : QStringLiteral("0");
}

bool parseTruth(const QString& text, bool* value)
{
    *value = text == QLatin1String("-1");
    return *value || text == QLatin1String("0");
}

bool parseInteger(const QString& text, qint64 lowest, qint64 highest, qint64* value)
{
    bool ok = false;
    *value = text.toLongLong(&ok, 10);
    return ok && *value >= lowest && *value <= highest;
}

QString pictureText(const QImage& picture)
{
    if (picture.isNull())
        return QString();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return QString::fromLatin1(png.toBase64());
}

bool parsePicture(const QString& text, QImage* picture)
{
    *picture = QImage();
    if (text.isEmpty())
        return true;
    const auto decoded =
        QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;
    if (!picture->loadFromData(*decoded, "PNG"))
        return false;
    *picture = plainPicture(*picture);
    return true;
}

QStringList fontFields(const QFont& font)
{
    return {escaped(font.family()),
            QString::number(font.pointSizeF(), 'g', QLocale::FloatingPointShortest),
            truthText(font.bold()),
            truthText(font.italic()),
            truthText(font.underline()),
            truthText(font.strikeOut())};
}

bool parseFont(const QStringList& fields, QFont* font)
{
    QString family;
    bool sizeOk = false;
    const double size = fields[1].toDouble(&sizeOk);
    bool bold, italic, underline, strikeOut;
    if (!unescape(fields[0], &family) || !sizeOk || !std::isfinite(size) || size <= 0 ||
        !parseTruth(fields[2], &bold) || !parseTruth(fields[3], &italic) ||
        !parseTruth(fields[4], &underline) || !parseTruth(fields[5], &strikeOut))
        return false;
    *font = makeFont(family, size, bold, italic, underline, strikeOut);
    return true;
}

// The value of one line, from the fields after its key and type.
bool parseValue(const QString& type, const QStringList& fields, QVariant* value)
{
    if (type == fontType) {
        QFont font;
        if (fields.size() != 6 || !parseFont(fields, &font))
            return false;
        *value = font;
        return true;
    }
    if (fields.size() != 1)
        return false;
    const QString& text = fields[0];
    qint64 number = 0;
    if (type == int32Type) {
        if (!parseInteger(text, INT32_MIN, INT32_MAX, &number))
            return false;
        *value = qint32(number);
    } else if (type == int16Type) {
        if (!parseInteger(text, INT16_MIN, INT16_MAX, &number))
            return false;
        *value = QVariant::fromValue(qint16(number));
    } else if (type == boolType) {
        bool truth = false;
        if (!parseTruth(text, &truth))
            return false;
        *value = truth;
    } else if (type == stringType) {
        QString string;
        if (!unescape(text, &string))
            return false;
        *value = string;
    } else if (type == pictureType) {
        QImage picture;
        if (!parsePicture(text, &picture))
            return false;
        *value = picture;
    } else {
        return false;
    }
    return true;
}

} // namespace

bool PropertyBag::WriteProperty(const QString& key, const QVariant& value)
{
    QVariant stored;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        entries_.removeIf([&key](const Entry& entry) { return entry.key == key; });
        return true;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Bool:
    case QMetaType::QString:
        stored = value;
        break;
    case QMetaType::QFont: {
        const QFont font = value.value<QFont>();
        if (font.pointSizeF() <= 0)
            return false;
        stored = makeFont(font.family(), font.pointSizeF(), font.bold(), font.italic(),
                          font.underline(), font.strikeOut());
        break;
    }
    case QMetaType::QImage:
        stored = plainPicture(value.value<QImage>());
        break;
    default:
        return false;
    }
    const qsizetype index = indexOf(key);
    if (index < 0)
        entries_.append({key, stored});
    else
        entries_[index].value = stored;
    return true;
}

QVariant PropertyBag::ReadProperty(const QString& key, const QVariant& defaultValue) const
{
    const qsizetype index = indexOf(key);
    return index < 0 ? defaultValue : entries_[index].value;
}

bool PropertyBag::contains(const QString& key) const
{
    return indexOf(key) >= 0;
}

QStringList PropertyBag::keys() const
{
    QStringList keys;
    for (const Entry& entry : entries_)
        keys.append(entry.key);
    return keys;
}

qsizetype PropertyBag::indexOf(const QString& key) const
{
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_[i].key == key)
            return i;
    }
    return -1;
}

QString PropertyBag::toText() const
{
    QString text;
    for (const Entry& entry : entries_) {
        QStringList fields{escaped(entry.key)};
        const QVariant& value = entry.value;
        switch (value.typeId()) {
        case QMetaType::Int:
            fields << int32Type << QString::number(value.toInt());
            break;
        case QMetaType::Short:
            fields << int16Type << QString::number(value.toInt());
            break;
        case QMetaType::Bool:
            fields << boolType << truthText(value.toBool());
            break;
        case QMetaType::QString:
            fields << stringType << escaped(value.toString());
            break;
        case QMetaType::QFont:
            fields << fontType << fontFields(value.value<QFont>());
            break;
        case QMetaType::QImage:
            fields << pictureType << pictureText(value.value<QImage>());
            break;
        }
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

Status PropertyBag::fromText(const QString& text, PropertyBag* bag)
{
    *bag = PropertyBag();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        // Tolerate a file whose line ends were turned into CR LF.
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        QString key;
        QVariant value;
        if (fields.size() < 3 || !unescape(fields[0], &key) || bag->contains(key) ||
            !parseValue(fields[1], fields.mid(2), &value)) {
            *bag = PropertyBag();
            return Status::failure(QStringLiteral("line %1 is malformed").arg(i + 1));
        }
        bag->entries_.append({key, value});
    }
    return Status();
}
