#include "controls/button/storedbuttons.h"

#include "controls/button/paintedbutton.h"
#include "controls/button/propertybag.h"

#include <QFile>
#include <QList>
#include <QPair>
#include <QWidget>

Status restoreStoredButtons(QWidget* form, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return Status::failure(QStringLiteral("%1: %2").arg(path, file.errorString()));

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
        PropertyBag bag;
        const Status read = PropertyBag::fromText(text, &bag);
        auto* button = form->findChild<paintedButton*>(name);
        if (!read.ok())
            problems.append(QStringLiteral("the settings of %1: %2").arg(name, read.message()));
        else if (!button)
            problems.append(QStringLiteral("the form has no button %1").arg(name));
        else
            button->ReadProperties(bag);
    }
    if (!problems.isEmpty())
        return Status::failure(problems.join(QStringLiteral("; ")));
    return Status();
}
