#include "platform/commondialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace {

ScriptedCommonDialogs* script = nullptr;

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
                if (!patterns.contains(variant))
                    patterns.append(variant);
            }
        }
        result.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' '))));
    }
    return result;
}

CommonDialog::CommonDialog() = default;
CommonDialog::~CommonDialog() = default;

ScriptedCommonDialogs::ScriptedCommonDialogs()
{
    script = this;
}

ScriptedCommonDialogs::~ScriptedCommonDialogs()
{
    if (script == this)
        script = nullptr;
}

ScriptedCommonDialogs::Result ScriptedCommonDialogs::take(const CommonDialog::Shown& shown)
{
    shown_.append(shown);
    return results_.isEmpty() ? Result{false, QString()} : results_.takeFirst();
}

bool CommonDialog::showFileDialog(Kind kind)
{
    QString chosen;
    if (script) {
        chosen = script->take({kind, InitDir, Filter, FilterIndex, DialogTitle}).fileName;
    } else {
        const QStringList filters = qtNameFilters(Filter);
        const QString joined = filters.join(QStringLiteral(";;"));
        QString selected = filters.value(FilterIndex - 1);
        QWidget* parent = QApplication::activeWindow();
        // A saved record is appended to the file, never replacing it, so there is nothing to
        // confirm.
        chosen = kind == Kind::Open
                     ? QFileDialog::getOpenFileName(parent, DialogTitle, InitDir, joined, &selected)
                     : QFileDialog::getSaveFileName(parent, DialogTitle, InitDir, joined, &selected,
                                                    QFileDialog::DontConfirmOverwrite);
    }
    FileName = chosen;
    return !chosen.isEmpty();
}

bool CommonDialog::ShowOpen()
{
    return showFileDialog(Kind::Open);
}

bool CommonDialog::ShowSave()
{
    return showFileDialog(Kind::Save);
}

bool CommonDialog::ShowPrinter()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>();
    if (script) {
        const auto result = script->take({Kind::Print, InitDir, Filter, FilterIndex, DialogTitle});
        if (result.accepted && !result.fileName.isEmpty()) {
            printer_->setOutputFormat(QPrinter::PdfFormat);
            printer_->setOutputFileName(result.fileName);
        }
        return result.accepted;
    }
    QPrintDialog dialog(printer_.get(), QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

QPrinter* CommonDialog::printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>();
    return printer_.get();
}
