#include "ui/result_tabs.h"

#include "platform/number_text.h"
#include "qtsupport/qt_text.h"
#include "resources/dialog_templates.h"
#include "resources/strings.h"
#include "ui/dialog_units.h"

#include <QResizeEvent>

namespace sepmet {
namespace {

// Rows kept from an earlier recalculation: grey text (0x00BBGGRR).
constexpr std::uint32_t kKeptRowColor = 0x00808080;

} // namespace

ResultPage::ResultPage(const DialogTemplate& pageTemplate, int controlId, QWidget* parent)
    : QWidget(parent) {
    const DialogUnits& units = ApplicationDialogUnits();
    templateSize_ = units.ToPixels(QSize(pageTemplate.width, pageTemplate.height));
    if (const DialogControl* control = pageTemplate.Find(controlId))
        controlRect_ = units.ToPixels(control->x, control->y, control->width, control->height);
    resize(templateSize_);
}

void ResultPage::Place(QWidget* control) {
    control_ = control;
    control_->setGeometry(controlRect_);
}

void ResultPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!control_)
        return;
    const QSize change = event->size() - templateSize_;
    control_->setGeometry(QRect(controlRect_.topLeft(), controlRect_.size() + change));
}

GridPage::GridPage(const DialogTemplate& pageTemplate, int controlId, QWidget* parent)
    : ResultPage(pageTemplate, controlId, parent), grid_(this) {
    grid_.setSelectionMode(QAbstractItemView::SingleSelection);
    grid_.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Place(&grid_);
}

void GridPage::SetRows(const PageRows& rows) {
    std::vector<GridModel::Row> shown;
    shown.reserve(rows.size());
    for (const PageRow& row : rows) {
        GridModel::Row r;
        for (const std::u16string& cell : row)
            r.cells.append(ToQString(cell));
        shown.push_back(std::move(r));
    }
    grid_.Model().SetRows(std::move(shown));
}

void GridPage::Apply(const PageUpdate& update) {
    switch (update.change) {
    case PageChange::Refill:
        SetRows(update.rows);
        break;
    case PageChange::Empty:
        grid_.ClearRows();
        break;
    case PageChange::Keep: {
        GridModel& model = grid_.Model();
        for (int row = 0; row < model.rowCount(); ++row) {
            model.Data(row).textColor = kKeptRowColor;
            model.Data(row).toolTip = ToQString(LoadString(StringId::TipKeptResult));
            model.RowDataChanged(row);
        }
        break;
    }
    }
}

ComponentsTab::ComponentsTab(QWidget* parent) : GridPage(ComponentsPageTemplate(), 1009, parent) {
    CGridCtrl& grid = Grid();
    grid.AddColumn(0, StringId::ColNumber, Qt::AlignLeft, 45);
    grid.AddColumn(1, StringId::ColComponent, Qt::AlignLeft, 160);
    grid.AddColumn(2, StringId::ColPeakArea, Qt::AlignLeft, 125);
    grid.AddColumn(3, StringId::ColRetentionTime, Qt::AlignLeft, 125);
}

void ComponentsTab::Detach() {
    Grid().ClearRows();
}

GradTab::GradTab(QWidget* parent) : GridPage(GradPageTemplate(), 1015, parent) {
    CGridCtrl& grid = Grid();
    grid.AddColumn(0, StringId::ColNumber, Qt::AlignLeft, 25);
    grid.AddColumn(1, StringId::ColComponent, Qt::AlignLeft, 110);
    grid.AddColumn(2, StringId::ColCalibrationK, Qt::AlignHCenter, 120);
}

CalcTab::CalcTab(QWidget* parent) : GridPage(CalcPageTemplate(), 1015, parent) {
    CGridCtrl& grid = Grid();
    grid.AddColumn(0, StringId::ColNumber, Qt::AlignLeft, 25);
    grid.AddColumn(1, StringId::ColComponent, Qt::AlignLeft, 110);
    grid.AddColumn(2, StringId::ColMassConcentration, Qt::AlignHCenter, 150);
    grid.AddColumn(3, StringId::ColMassFraction, Qt::AlignHCenter, 150);
    grid.AddColumn(4, StringId::ColMolarFraction, Qt::AlignHCenter, 150);
}

MessageTab::MessageTab(QWidget* parent)
    : ResultPage(MessagePageTemplate(), 1014, parent), list_(this) {
    list_.setModel(&lines_);
    list_.setSelectionMode(QAbstractItemView::NoSelection);
    list_.setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_.setFocusPolicy(Qt::NoFocus);
    list_.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_.setFrameShape(QFrame::StyledPanel);
    list_.setUniformItemSizes(true);
    Place(&list_);
}

void MessageTab::ShowLines(const std::vector<std::u16string>& lines) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::u16string& line : lines)
        texts.append(ToQString(line));
    lines_.setStringList(texts);
}

} // namespace sepmet
