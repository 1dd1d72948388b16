#include "host/assay_table_view.h"

#include "host/assay_table_model.h"

#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <QTableView>
#include <algorithm>

namespace sepmet::host {

void SetUpAssayTableView(QTableView& view, AssayTableModel& model) {
    view.setModel(&model);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setWordWrap(false);
    // Cut-off texts lose their middle: a path keeps its drive and its file name, a sample its
    // concentration and replicate at the end.
    view.setTextElideMode(Qt::ElideMiddle);
    view.verticalHeader()->hide();
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 6);

    // A typical text of each column, measured in the view's font, plus the cell's margins.
    const QStringList typical = {
        QStringLiteral("00000"),
        QStringLiteral("00.00.0000 00:00"),
        QStringLiteral("D:\\Chrom\\0000-00-00\\grad_00.chr"),
        QStringLiteral("Раствор поглот. №1, третье изм."),
        QStringLiteral("Поглотительный раствор"),
        QStringLiteral("Метанол в газе сепарации"),
        QStringLiteral("да"),
    };
    const int margin = 2 * view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) +
                       view.fontMetrics().averageCharWidth() * 2;
    for (int column = 0; column < AssayTableModel::ColumnCount && column < typical.size();
         ++column) {
        const QString title = model.headerData(column, Qt::Horizontal).toString();
        const int text = std::max(view.fontMetrics().horizontalAdvance(typical[column]),
                                  view.fontMetrics().horizontalAdvance(title));
        view.setColumnWidth(column, text + margin);
    }
    // The sample says most about a chromatogram: it takes the width the window has to spare.
    view.horizontalHeader()->setSectionResizeMode(AssayTableModel::Sample, QHeaderView::Stretch);
}

} // namespace sepmet::host
