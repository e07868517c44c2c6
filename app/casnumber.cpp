#include "app/casnumber.h"

#include <QRegularExpression>

bool casCheckDigitIsWrong(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{2,7})-(\\d{2})-(\\d)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    const QString digits = match.captured(1) + match.captured(2);
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i)
        sum += int(digits.size() - i) * digits[i].digitValue();
    return sum % 10 != match.captured(3).toInt();
}
