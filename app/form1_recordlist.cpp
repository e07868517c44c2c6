#include "app/form1.h"

#include "app/recordlistmodel.h"
#include "search/structureindex.h"
#include "windows/recordlist.h"

#include <QLineEdit>
#include <QShortcut>
#include <QTableView>

namespace {

Status readQuery(const QString& text, bool exact, StructureQuery& query)
{
    return StructureQuery::parse(
        text, exact ? StructureQuery::Kind::Exact : StructureQuery::Kind::Substructure, query);
}

RecordListModel::StructureSearch structureSearch()
{
    return {[](const QString& text, bool exact) {
                StructureQuery query;
                return readQuery(text, exact, query);
            },
            [](const QString& path, const QString& text, bool exact,
               const std::function<bool(const std::vector<long long>&)>& batch,
               const std::atomic<bool>& cancel) {
                StructureQuery query;
                if (Status read = readQuery(text, exact, query); !read.ok())
                    return read;
                return StructureIndex::search(path, query, batch, cancel);
            },
            &StructureIndex::bringUpToDate};
}

} // namespace

void Form1::setUpRecordList()
{
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::CTRL | Qt::Key_L)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &Form1::openRecordList);
    }
}

void Form1::openRecordList()
{
    if (!recordList_) {
        recordListModel_ = new RecordListModel(Data1);
        recordList_ = new RecordList(recordListModel_, this);
        recordListModel_->setParent(recordList_);
        recordListModel_->keepSelection(recordList_->table()->selectionModel());
        recordListModel_->setStructureSearch(structureSearch());
        connect(recordList_, &RecordList::filterChanged, recordListModel_,
                [this](const QString& text, int mode) {
                    recordListModel_->setFilter(text, RecordListModel::Mode(mode));
                });
        connect(recordList_, &RecordList::rowChosen, this, &Form1::recordList_RowChosen);
        connect(recordList_, &RecordList::shownChanged, recordListModel_,
                &RecordListModel::setWatching);
        connect(recordListModel_, &RecordListModel::statusChanged, recordList_, [this] {
            recordList_->setCountText(recordListModel_->countText());
            recordList_->setProblem(recordListModel_->problem());
        });
    }
    recordListModel_->followChanges();
    recordListModel_->prepareIndex();
    recordList_->setCountText(recordListModel_->countText());
    recordList_->show();
    recordList_->raise();
    recordList_->activateWindow();
    recordList_->filterBox()->setFocus();
}

// The boxes then show the chosen record, as after any move (design rule: the boxes show the
// record the commands act on).
void Form1::recordList_RowChosen(int row)
{
    if (recordListModel_->isRestoringSelection())
        return;
    // While a record is edited or entered, the list shows but does not move the record set.
    if (RecordIsOpenForChange() || rs().EditMode() != Recordset::EditNone)
        return;
    const int position = recordListModel_->positionOfRow(row);
    if (position < 0 || position == rs().AbsolutePosition())
        return;
    StartNavigation();
    CheckRecordLimit([this, position] {
        if (ReportIfLocked(rs().MoveTo(position)))
            return;
        ShowStructureImage();
        ShowRecordNumber();
    });
}
