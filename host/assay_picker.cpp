#include "host/assay_picker.h"

#include "host/assay_table_model.h"
#include "host/assay_table_view.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace sepmet::host {
namespace {

// A table that says when the operator starts a choice afresh (a click or a move without Ctrl or
// Shift), so that rows the filter hides leave the choice too.
class PickerTable final : public QTableView {
public:
    PickerTable(QWidget* parent, std::function<void()> onFreshChoice)
        : QTableView(parent), onFreshChoice_(std::move(onFreshChoice)) {}

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        const QItemSelectionModel::SelectionFlags command =
            QTableView::selectionCommand(index, event);
        if (command.testFlag(QItemSelectionModel::Clear))
            onFreshChoice_();
        return command;
    }

private:
    std::function<void()> onFreshChoice_;
};

} // namespace

AssayPicker::AssayPicker(const QString& databasePath, int capacity, QWidget* parent)
    : QDialog(parent), capacity_(capacity), model_(new AssayTableModel(this)),
      filter_(new QLineEdit(this)), table_(new PickerTable(this, [this] { DropHiddenChoice(); })),
      notice_(new QLabel(this)), found_(new QLabel(this)), ok_(nullptr) {
    setWindowTitle(QStringLiteral("Выбор хроматограмм"));
    QString error;
    if (!model_->OpenDatabase(databasePath, &error))
        notice_->setText(QStringLiteral("База не открыта: %1").arg(error));

    filter_->setPlaceholderText(QStringLiteral("Фильтр: проба, файл или смесь"));
    filter_->setToolTip(QStringLiteral("Фильтр"));
    filter_->setClearButtonEnabled(true);

    SetUpAssayTableView(*table_, *model_);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filter_, 1);
    filterRow->addWidget(found_);
    layout->addLayout(filterRow);
    layout->addWidget(table_, 1);
    layout->addWidget(notice_);
    layout->addWidget(buttons);
    resize(1120, 560);

    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_->SetFilter(text);
        UpdateSelectionState();
    });
    connect(model_, &QAbstractItemModel::modelReset, this,
            [this] { SelectChosen(0, model_->rowCount() - 1); });
    connect(model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { SelectChosen(first, last); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AssayPicker::TakeSelection);
    table_->installEventFilter(this);
    connect(table_, &QTableView::doubleClicked, this, [this] {
        if (ok_->isEnabled())
            accept();
    });
    UpdateSelectionState();
}

std::vector<std::int32_t> AssayPicker::ChosenIds() const {
    std::vector<std::int32_t> ids;
    for (const std::int64_t id : chosen_)
        // The request carries 32-bit identifiers; a row beyond that range cannot be handed on.
        if (id >= INT32_MIN && id <= INT32_MAX)
            ids.push_back(static_cast<std::int32_t>(id));
    return ids;
}

void AssayPicker::ChooseAllMatching() {
    for (const std::int64_t id : model_->MatchingIds())
        chosen_.insert(id);
    SelectChosen(0, model_->rowCount() - 1);
    UpdateSelectionState();
}

bool AssayPicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll)) {
        ChooseAllMatching();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AssayPicker::DropHiddenChoice() {
    // The rows shown selected stay until the table's own command deselects them; a row clicked
    // that was selected already is not announced again, so it must not be dropped here.
    chosen_.clear();
    for (const QModelIndex& row : table_->selectionModel()->selectedRows())
        chosen_.insert(model_->IdAt(row.row()));
    UpdateSelectionState();
}

void AssayPicker::SelectChosen(int first, int last) {
    if (first > last || chosen_.empty())
        return;
    QItemSelection selection;
    for (int row = first; row <= last; ++row)
        if (chosen_.count(model_->IdAt(row)))
            selection.select(model_->index(row, 0),
                             model_->index(row, AssayTableModel::ColumnCount - 1));
    showingChoice_ = true;
    table_->selectionModel()->select(selection, QItemSelectionModel::Select);
    showingChoice_ = false;
}

void AssayPicker::TakeSelection(const QItemSelection& selected, const QItemSelection& deselected) {
    if (!showingChoice_) {
        for (const QModelIndex& index : deselected.indexes())
            if (index.column() == 0)
                chosen_.erase(model_->IdAt(index.row()));
        for (const QModelIndex& index : selected.indexes())
            if (index.column() == 0)
                chosen_.insert(model_->IdAt(index.row()));
    }
    UpdateSelectionState();
}

void AssayPicker::UpdateSelectionState() {
    found_->setText(QStringLiteral("Найдено: %1").arg(model_->MatchCount()));
    const int selected = static_cast<int>(chosen_.size());
    if (!model_->isOpen())
        ok_->setEnabled(false);
    else if (selected > capacity_) {
        // Nothing is dropped silently: the operator narrows the choice.
        notice_->setText(QStringLiteral("Выбрано %1, можно выбрать не более %2 хроматограмм.")
                             .arg(selected)
                             .arg(capacity_));
        notice_->setStyleSheet(QStringLiteral("color: #b00020"));
        ok_->setEnabled(false);
    } else {
        notice_->setText(
            QStringLiteral("Выбрано: %1 из %2 в базе").arg(selected).arg(model_->TotalCount()));
        notice_->setStyleSheet({});
        ok_->setEnabled(selected > 0);
    }
}

int RunAssayPicker(const QString& databasePath, std::int32_t* ids, int capacity, QWidget* parent) {
    if (!ids || capacity <= 0)
        return 0;
    AssayPicker picker(databasePath, capacity, parent);
    if (picker.exec() != QDialog::Accepted)
        return 0;
    const std::vector<std::int32_t> chosen = picker.ChosenIds();
    const int count = std::min<int>(static_cast<int>(chosen.size()), capacity);
    std::copy_n(chosen.begin(), count, ids);
    return count;
}

} // namespace sepmet::host
