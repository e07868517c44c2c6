#include "windows/recordlist.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Tall enough for the structure drawings.
constexpr int kRowHeight = 68;

} // namespace

RecordList::RecordList(QAbstractItemModel* model, QWidget* parent)
    : QWidget(parent, Qt::Window), filter_(new QLineEdit(this)), mode_(new QComboBox(this)),
      count_(new QLabel(this)), problem_(new QLabel(this)), table_(new QTableView(this))
{
    setWindowTitle(tr("Find in List"));
    resize(820, 560);

    auto* filterLabel = new QLabel(tr("&Filter:"), this);
    filterLabel->setBuddy(filter_);
    filter_->setAccessibleName(tr("Filter"));
    filter_->setClearButtonEnabled(true);
    mode_->addItems({tr("Text"), tr("Substructure"), tr("Exact structure")});
    mode_->setAccessibleName(tr("Filter by"));
    count_->setAccessibleName(tr("Records listed"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #a00000"));
    problem_->setAccessibleName(tr("Filter problem"));
    problem_->hide();

    table_->setModel(model);
    table_->setAccessibleName(tr("Records"));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // Every row the same height: the view never measures rows it does not show.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table_->setIconSize(QSize(96, 64));
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (const auto& [column, width] : {std::pair{0, 70}, {1, 240}, {2, 100}, {3, 130}, {4, 110}})
        table_->setColumnWidth(column, width);
    table_->installEventFilter(this);
    filter_->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(filter_, 1);
    top->addWidget(mode_);
    top->addWidget(count_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(problem_);
    layout->addWidget(table_, 1);
    setTabOrder(filter_, mode_);
    setTabOrder(mode_, table_);

    connect(filter_, &QLineEdit::textChanged, this, &RecordList::emitFilter);
    connect(mode_, &QComboBox::currentIndexChanged, this, &RecordList::emitFilter);
    filter_->setPlaceholderText(tr("Part of a name, CAS number or formula"));
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit rowChosen(current.row());
            });
}

void RecordList::setCountText(const QString& text)
{
    count_->setText(text);
}

void RecordList::setProblem(const QString& text)
{
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
}

void RecordList::emitFilter()
{
    filter_->setPlaceholderText(mode_->currentIndex() == TextMode
                                    ? tr("Part of a name, CAS number or formula")
                                    : tr("SMILES or SMARTS"));
    emit filterChanged(filter_->text(), mode_->currentIndex());
}

// Down from the filter box goes to the first record; Enter in the table chooses its row.
bool RecordList::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == filter_ && key->key() == Qt::Key_Down && table_->model()->rowCount() > 0) {
        table_->setFocus();
        if (!table_->currentIndex().isValid())
            table_->setCurrentIndex(table_->model()->index(0, 0));
        return true;
    }
    if (watched == table_ && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        table_->currentIndex().isValid()) {
        emit rowChosen(table_->currentIndex().row());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void RecordList::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    emit shownChanged(true);
}

void RecordList::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit shownChanged(false);
}
