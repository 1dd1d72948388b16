#include "ui/dlg_main.h"

#include "calc/calculation_state.h"
#include "plugin/plugin_info.h"
#include "qtsupport/qt_text.h"
#include "report/report_generator.h"
#include "resources/dialog_templates.h"
#include "resources/strings.h"
#include "ui/dialog_units.h"
#include "ui/grid_ctrl.h"
#include "ui/icons.h"
#include "ui/result_tabs.h"
#include "ui/window_audit.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>
#include <stdexcept>
#include <vector>

namespace sepmet {
namespace {

// Closed windows waiting for their deferred deletion.
std::vector<DlgMain*>& ClosedWindows() {
    static std::vector<DlgMain*> windows;
    return windows;
}

struct CommandButton {
    int controlId;
    int tipId;
    const char* icon;
};

// The eight command buttons: control id, tooltip string, icon.
constexpr CommandButton kButtons[] = {
    {1000, StringId::TipAdd, IconName::Add},
    {1001, StringId::TipRemoveSelected, IconName::Remove},
    {1002, StringId::TipRemoveAll, IconName::RemoveAll},
    {1003, StringId::TipOpen, IconName::Open},
    {1004, StringId::TipRecalculate, IconName::Reload},
    {1008, StringId::TipSettings, IconName::Settings},
    {1005, StringId::TipReport, IconName::Report},
    {1022, StringId::TipAbout, IconName::About},
};

QString ButtonObjectName(int controlId) {
    return QStringLiteral("button%1").arg(controlId);
}

} // namespace

DlgMain::DlgMain(QWidget* hostParent)
    : QDialog(hostParent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      session_(std::make_unique<DeterminationSession>(ProcessCalculationState())) {
    setModal(false);
    setObjectName(QStringLiteral("DlgMain"));
}

DlgMain::~DlgMain() {
    auto& closed = ClosedWindows();
    closed.erase(std::remove(closed.begin(), closed.end(), this), closed.end());
    session_->SetListener(nullptr);
    // A window destroyed without closing (its host window went first) is forgotten too.
    if (created_ && !closing_)
        MainWindowDestroyed(this);
}

HostWord DlgMain::WindowHandle() const {
    return reinterpret_cast<HostWord>(static_cast<const QWidget*>(this));
}

QAbstractButton* DlgMain::Button(int controlId) const {
    return findChild<QAbstractButton*>(ButtonObjectName(controlId), Qt::FindDirectChildrenOnly);
}

void DlgMain::CreateModeless() {
    creating_ = true;
    OnInitDialog();
    creating_ = false;
    created_ = true;
}

void DlgMain::ShowNormal() {
    showNormal();
    raise();
    activateWindow();
}

void DlgMain::OnInitDialog() {
    // 1. The controls of template 1000, converted from dialog units.
    CreateControls();
    // 2. Linux windows have no system menu: "О плагине" stays on the "i" button.
    // 3. The caption.
    setWindowTitle(ToQString(PluginInformation().title) + QStringLiteral(" , ver. ") +
                   QStringLiteral(" 1.0.2.0"));
    // 4. The pages, the settings dialog and the report.
    componentsPage_ = new ComponentsTab(this);
    messageTab_ = new MessageTab(this);
    gradPage_ = new GradTab(this);
    CreateSettingsDialog();
    calcPage_ = new CalcTab(this);
    reportGenerator_ = std::make_unique<ReportGenerator>(session_->State(), session_->Log());
    WindowAudit::Install(*this); // every recalculation and report on record
    for (QWidget* page :
         std::initializer_list<QWidget*>{componentsPage_, messageTab_, gradPage_, calcPage_})
        page->hide();
    // 5. The window icon.
    setWindowIcon(WindowIcon());
    // 6, 7. Icons and tooltips of the buttons (made with the controls).
    // 8. The chromatogram list.
    SetUpAssayList();
    // 9, 11. The chromatograms, place and conditions of the last session, and the first
    // recalculation.
    RestoreWindowState();
    // 10. The pages inside the tab control, the first one shown.
    CreatePages();
}

void DlgMain::CreateControls() {
    const DialogTemplate& tmpl = MainDialogTemplate();
    const DialogUnits& units = ApplicationDialogUnits();
    templateSize_ = units.ToPixels(QSize(tmpl.width, tmpl.height));

    for (const CommandButton& command : kButtons) {
        const DialogControl* control = tmpl.Find(command.controlId);
        auto* button = new QToolButton(this);
        button->setObjectName(ButtonObjectName(command.controlId));
        button->setText(ToQString(control->text));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setIcon(CommandIcon(command.icon));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(ToQString(LoadString(command.tipId)));
        button->setAccessibleName(button->toolTip());
        button->setGeometry(
            units.ToPixels(control->x, control->y, control->width, control->height));
        button->setFocusPolicy(Qt::TabFocus);
    }
    connect(Button(1000), &QAbstractButton::clicked, this, [this] { OnAddCommand(); });
    connect(Button(1001), &QAbstractButton::clicked, this, [this] { OnRemoveSelectedCommand(); });
    connect(Button(1002), &QAbstractButton::clicked, this, [this] { OnRemoveAllCommand(); });
    connect(Button(1003), &QAbstractButton::clicked, this, [this] { OnOpenCommand(); });
    connect(Button(1004), &QAbstractButton::clicked, this, [this] { OnReloadCommand(); });
    connect(Button(1008), &QAbstractButton::clicked, this, [this] { OnSettingsCommand(); });
    connect(Button(1005), &QAbstractButton::clicked, this, [this] { OnReportCommand(); });
    connect(Button(1022), &QAbstractButton::clicked, this, [this] { OnAboutCommand(); });

    const DialogControl* list = tmpl.Find(1006);
    listTemplate_ = units.ToPixels(list->x, list->y, list->width, list->height);
    assayList_ = new CGridCtrl(this);
    assayList_->setObjectName(QStringLiteral("assayList"));
    assayList_->setGeometry(listTemplate_);

    const DialogControl* tabs = tmpl.Find(1007);
    tabsTemplate_ = units.ToPixels(tabs->x, tabs->y, tabs->width, tabs->height);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->setGeometry(tabsTemplate_);
    tabs_->setDocumentMode(false);

    // Tab order as in the template.
    QWidget* previous = nullptr;
    for (const DialogControl& control : tmpl.controls) {
        QWidget* widget = control.id == 1006   ? static_cast<QWidget*>(assayList_)
                          : control.id == 1007 ? static_cast<QWidget*>(tabs_)
                                               : Button(control.id);
        if (previous && widget)
            setTabOrder(previous, widget);
        previous = widget;
    }

    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(templateSize_.expandedTo(minimumSize()));
}

void DlgMain::SetUpAssayList() {
    CGridCtrl& list = *assayList_;
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list.AddColumn(0, StringId::ColNumber, Qt::AlignLeft, 30);
    list.AddColumn(1, StringId::ColFileName, Qt::AlignLeft, 230);
    list.AddColumn(2, StringId::ColSample, Qt::AlignLeft, 130);
    list.AddColumn(3, StringId::ColAssayType, Qt::AlignLeft, 150);
    list.AddColumn(4, StringId::ColMixture, Qt::AlignLeft, 130);
    connect(&list, &CGridCtrl::Clicked, this, [this](int row, int) { OnListClick(row); });
}

void DlgMain::CreatePages() {
    tabs_->addTab(componentsPage_, ToQString(LoadString(StringId::TabComponents)));
    tabs_->addTab(gradPage_, ToQString(LoadString(StringId::TabGrad)));
    tabs_->addTab(calcPage_, ToQString(LoadString(StringId::TabCalc)));
    tabs_->addTab(messageTab_, ToQString(LoadString(StringId::TabMessages)));
    tabs_->setCurrentIndex(0);
}

void DlgMain::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceControls();
}

void DlgMain::PlaceControls() {
    if (!assayList_ || !tabs_)
        return;
    // The list grows by the whole width change and half the height change; the tabs move down by
    // half the height change and grow by the whole width change and the other half.
    const int dw = width() - templateSize_.width();
    const int dh = height() - templateSize_.height();
    const int half = dh / 2;
    assayList_->setGeometry(listTemplate_.x(), listTemplate_.y(), listTemplate_.width() + dw,
                            listTemplate_.height() + half);
    tabs_->setGeometry(tabsTemplate_.x(), tabsTemplate_.y() + half, tabsTemplate_.width() + dw,
                       tabsTemplate_.height() + dh - half);
}

void DlgMain::keyPressEvent(QKeyEvent* event) {
    // Enter closes the window as OK does; Escape as Cancel (QDialog's own handling).
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DlgMain::done(int result) {
    if (creating_ || !created_) {
        QDialog::done(result);
        return;
    }
    if (closing_)
        return;
    closing_ = true;
    SaveWindowState();
    QDialog::done(result);
    // The window is gone for the plug-in: the next menu command builds a new one. The object is
    // deleted once the event that closed it has finished with it; Unload deletes it at once.
    MainWindowDestroyed(this);
    ClosedWindows().push_back(this);
    deleteLater();
}

void DlgMain::CloseForUnload() {
    if (!closing_) {
        closing_ = true;
        SaveWindowState();
        MainWindowDestroyed(this);
    }
    delete this;
}

void DlgMain::DeleteClosedWindows() {
    auto& closed = ClosedWindows();
    while (!closed.empty())
        delete closed.back(); // the destructor takes it off the list and off the event queue
}

MainWindow* DlgMainFactory::NewMainWindow(HostWord parent) {
    return new DlgMain(reinterpret_cast<QWidget*>(parent));
}

} // namespace sepmet
