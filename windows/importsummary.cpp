#include "windows/importsummary.h"

#include "platform/commondialog.h"
#include "platform/msgbox.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

ScriptedImportSummaries* script = nullptr;

QString count(long long n)
{
    return QLocale(QLocale::English).toString(n);
}

} // namespace

ImportSummaryDialog::ImportSummaryDialog(const ImportSummary& summary, SaveSkippedList saveList,
                                         QWidget* parent)
    : QDialog(parent), saveList_(std::move(saveList))
{
    setWindowTitle(QStringLiteral("Import of %1").arg(QFileInfo(summary.fileName).fileName()));
    auto* layout = new QVBoxLayout(this);
    auto* counts = new QLabel(QStringLiteral("Added %1 records, skipped %2, in %3 seconds.")
                                  .arg(count(summary.added), count(summary.skipped.size()))
                                  .arg(summary.seconds, 0, 'f', 1),
                              this);
    counts->setObjectName(QStringLiteral("counts"));
    layout->addWidget(counts);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    // Enter closes the summary; saving the list is a choice of its own.
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
    if (!summary.skipped.isEmpty()) {
        auto* listCaption = new QLabel(QStringLiteral("Records skipped:"), this);
        auto* list = new QPlainTextEdit(summary.skipped.join(QLatin1Char('\n')), this);
        list->setObjectName(QStringLiteral("skippedList"));
        list->setReadOnly(true);
        list->setLineWrapMode(QPlainTextEdit::NoWrap);
        list->setAccessibleName(listCaption->text());
        listCaption->setBuddy(list);
        layout->addWidget(listCaption);
        layout->addWidget(list, 1);
        QPushButton* save =
            buttons->addButton(QStringLiteral("&Save list..."), QDialogButtonBox::ActionRole);
        save->setAutoDefault(false);
        save->setObjectName(QStringLiteral("saveList"));
        connect(save, &QPushButton::clicked, this, &ImportSummaryDialog::saveListClicked);
        resize(560, 420);
    }
    saved_ = new QLabel(this);
    layout->addWidget(saved_);
    layout->addWidget(buttons);
}

void ImportSummaryDialog::saveListClicked()
{
    CommonDialog dialog;
    dialog.DialogTitle = QStringLiteral("Save the List of Skipped Records");
    dialog.Filter = QStringLiteral("Text Files|*.txt");
    dialog.InitDir = QDir::homePath();
    if (!dialog.ShowSave())
        return;
    const QString path = dialog.FileName;
    if (const Status s = saveList_(path); !s.ok()) {
        MsgBox(QStringLiteral("The list was not saved.\n\n%1").arg(s.message()),
               vbOKOnly | vbExclamation, QStringLiteral("Flaskbook"));
        return;
    }
    saved_->setText(QStringLiteral("The list is saved in %1.").arg(QDir::toNativeSeparators(path)));
}

void showImportSummary(const ImportSummary& summary, const SaveSkippedList& saveList,
                       QWidget* parent)
{
    if (script) {
        script->shown_.append(summary);
        return;
    }
    ImportSummaryDialog dialog(summary, saveList, parent);
    dialog.exec();
}

ScriptedImportSummaries::ScriptedImportSummaries()
{
    script = this;
}

ScriptedImportSummaries::~ScriptedImportSummaries()
{
    if (script == this)
        script = nullptr;
}
