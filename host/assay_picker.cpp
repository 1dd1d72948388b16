#include "host/assay_picker.h"

#include "host/assay_table_model.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace sepmet::host {

AssayPicker::AssayPicker(const QString& databasePath, int capacity, QWidget* parent)
    : QDialog(parent), capacity_(capacity), model_(new AssayTableModel(this)),
      filter_(new QLineEdit(this)), table_(new QTableView(this)), notice_(new QLabel(this)),
      ok_(nullptr) {
    setWindowTitle(QStringLiteral("Выбор хроматограмм"));
    QString error;
    if (!model_->OpenDatabase(databasePath, &error))
        notice_->setText(QStringLiteral("База не открыта: %1").arg(error));

    filter_->setPlaceholderText(QStringLiteral("Фильтр: проба, файл или смесь"));
    filter_->setToolTip(QStringLiteral("Фильтр"));
    filter_->setClearButtonEnabled(true);

    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(false);
    table_->setWordWrap(false);
    const int widths[] = {56, 112, 210, 250, 170, 190, 90};
    for (int column = 0; column < AssayTableModel::ColumnCount; ++column)
        table_->setColumnWidth(column, widths[column]);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addWidget(table_, 1);
    layout->addWidget(notice_);
    layout->addWidget(buttons);
    resize(1120, 560);

    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_->SetFilter(text);
        UpdateSelectionState();
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &AssayPicker::UpdateSelectionState);
    connect(table_, &QTableView::doubleClicked, this, [this] {
        if (ok_->isEnabled())
            accept();
    });
    UpdateSelectionState();
}

std::vector<std::int32_t> AssayPicker::ChosenIds() const {
    QModelIndexList rows = table_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::int32_t> ids;
    for (const QModelIndex& row : rows) {
        const std::int64_t id = model_->IdAt(row.row());
        // The request carries 32-bit identifiers; a row beyond that range cannot be handed on.
        if (id >= INT32_MIN && id <= INT32_MAX)
            ids.push_back(static_cast<std::int32_t>(id));
    }
    return ids;
}

void AssayPicker::UpdateSelectionState() {
    const int selected = static_cast<int>(table_->selectionModel()->selectedRows().size());
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
