#include "controls/button/storedbuttons.h"

#include "controls/button/paintedbutton.h"
#include "controls/button/propertybag.h"

#include <QFile>
#include <QList>
#include <QPair>
#include <QWidget>

bool restoreStoredButtons(QWidget* form, const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }

    // Sections of "[name]" followed by the bag's own lines; '#' starts a comment line.
    QList<QPair<QString, QString>> sections;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            sections.append({line.mid(1, line.size() - 2), QString()});
        else if (!sections.isEmpty())
            sections.last().second += line + QLatin1Char('\n');
    }

    QStringList problems;
    for (const auto& [name, text] : sections) {
        bool ok = false;
        const PropertyBag bag = PropertyBag::fromText(text, &ok);
        auto* button = form->findChild<paintedButton*>(name);
        if (!ok)
            problems.append(QStringLiteral("the settings of %1 are malformed").arg(name));
        else if (!button)
            problems.append(QStringLiteral("the form has no button %1").arg(name));
        else
            button->ReadProperties(bag);
    }
    if (error)
        *error = problems.join(QStringLiteral("; "));
    return problems.isEmpty();
}
