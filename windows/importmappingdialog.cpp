#include "windows/importmappingdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

ScriptedImportMapping* script = nullptr;

const QString kNone = QStringLiteral("(none)");

} // namespace

ImportMappingDialog::ImportMappingDialog(const ImportMappingChoice& choice, QWidget* parent)
    : QDialog(parent), choice_(choice)
{
    setWindowTitle(QStringLiteral("Import %1").arg(QFileInfo(choice.fileName).fileName()));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Choose which item of the file fills each field. Formula and weight left "
                       "at (none) are worked out from the structure."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* form = new QFormLayout;
    for (const MappedField& field : choice.fields) {
        auto* box = new QComboBox(this);
        box->setObjectName(field.column);
        box->addItem(kNone);
        box->addItems(choice.items);
        const int shown = box->findText(choice.itemForColumn.value(field.column), Qt::MatchExactly);
        box->setCurrentIndex(shown > 0 ? shown : 0);
        // The caption is the box's buddy, so a screen reader names the box after the field.
        auto* caption = new QLabel(field.caption.trimmed(), this);
        caption->setBuddy(box);
        box->setAccessibleName(field.caption.trimmed());
        form->addRow(caption, box);
        boxes_.append(box);
    }
    layout->addLayout(form);

    auto* previewCaption = new QLabel(
        QStringLiteral("The first %1 records of the file:").arg(choice.preview.size()), this);
    layout->addWidget(previewCaption);
    const bool withStructures = !choice.previewStructures.isEmpty();
    const int first = withStructures ? 1 : 0;
    auto* preview =
        new QTableWidget(int(choice.preview.size()), first + int(choice.items.size()), this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setAccessibleName(previewCaption->text());
    preview->setHorizontalHeaderLabels(
        (withStructures ? QStringList{QStringLiteral("Structure")} : QStringList()) + choice.items);
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < choice.preview.size(); ++row) {
        if (withStructures)
            preview->setItem(row, 0, new QTableWidgetItem(choice.previewStructures.value(row)));
        for (int column = 0; column < choice.items.size(); ++column)
            preview->setItem(row, first + column,
                             new QTableWidgetItem(choice.preview[row].value(column).left(200)));
    }
    preview->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    preview->resizeColumnsToContents();
    previewCaption->setBuddy(preview);
    layout->addWidget(preview, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 640);
}

QHash<QString, QString> ImportMappingDialog::chosenMapping() const
{
    QHash<QString, QString> mapping = choice_.itemForColumn;
    for (int i = 0; i < boxes_.size(); ++i) {
        const QString& column = choice_.fields[i].column;
        if (boxes_[i]->currentIndex() > 0)
            mapping.insert(column, boxes_[i]->currentText());
        else
            mapping.remove(column);
    }
    return mapping;
}

bool askImportMapping(ImportMappingChoice& choice, QWidget* parent)
{
    if (script)
        return script->answer(choice);
    ImportMappingDialog dialog(choice, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice.itemForColumn = dialog.chosenMapping();
    return true;
}

ScriptedImportMapping::ScriptedImportMapping()
{
    script = this;
}

ScriptedImportMapping::~ScriptedImportMapping()
{
    if (script == this)
        script = nullptr;
}

bool ScriptedImportMapping::answer(ImportMappingChoice& choice)
{
    shown_.append(choice);
    if (answers_.isEmpty())
        return false;
    const Answer answer = answers_.takeFirst();
    for (auto it = answer.changes.cbegin(); it != answer.changes.cend(); ++it) {
        if (it.value().isEmpty())
            choice.itemForColumn.remove(it.key());
        else
            choice.itemForColumn.insert(it.key(), it.value());
    }
    return answer.accept;
}
