#include "controls/button/accesskey.h"

QString AccessKeyFromCaption(const QString& caption)
{
    const qsizetype length = caption.size();
    if (length < 2)
        return QString();
    const qsizetype first = caption.indexOf(QLatin1Char('&'));
    if (first < 0 || first == length - 1)
        return QString();
    if (caption[first + 1] != QLatin1Char('&'))
        return QString(caption[first + 1]).toLower();
    // "&&" is a literal ampersand; the mnemonic may follow at the next "&".
    const qsizetype second = caption.indexOf(QLatin1Char('&'), first + 2);
    if (second < 0 || second == length - 1 || caption[second + 1] == QLatin1Char('&'))
        return QString();
    return QString(caption[second + 1]).toLower();
}

QString CaptionWithoutMarks(const QString& caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && ++i == caption.size())
            break;
        shown += caption[i];
    }
    return shown;
}
