#include "tests/ui/window_support.h"

#include "data/connection.h"
#include "platform/opener.h"
#include "platform/utf.h"
#include "plugin/exports.h"
#include "plugin/host_services.h"
#include "plugin/main_window.h"
#include "plugin/module_state.h"
#include "ui/grid_ctrl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTest>

namespace sepmet::testing {

void EnsureApplication() {
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(9);
    application->setFont(font);
}

bool HostWindow::event(QEvent* event) {
    if (event->type() == static_cast<QEvent::Type>(1035)) {
        ++assayListChanged;
        return true;
    }
    return QWidget::event(event);
}

MainWindowTest::MainWindowTest() {
    EnsureApplication();
    ResetModuleState();
    DataBase::DeleteConnection();
    SetMainWindowFactory(nullptr);
    ProcessCalculationState() = CalculationState{};
    SetOpeningEnabled(false);
    hostWindow = new HostWindow;
    hostWindow->resize(200, 100);
    menuParent = new QWidget(hostWindow);
    host.OfferAll(FromUtf8(db.Path()));
    Load(host.api());
    host.FireEvent(HostService::ModulesLoaded);
    // Tests that lock the database need not wait the full busy timeout.
    DataBase::GetConnection().SetBusyTimeout(50);
}

MainWindowTest::~MainWindowTest() {
    Unload();
    delete hostWindow;
    ResetModuleState();
    DataBase::DeleteConnection();
    SetOpeningEnabled(true);
}

DlgMain& MainWindowTest::OpenWindow() {
    host.ChooseMenuItem(reinterpret_cast<HostWord>(menuParent));
    DlgMain* window = Window();
    if (!window)
        throw std::runtime_error("the menu command opened no window");
    return *window;
}

DlgMain* MainWindowTest::Window() const {
    return dynamic_cast<DlgMain*>(Module().mainDialog);
}

QAbstractButton* MainWindowTest::ButtonWithTip(const QString& tip) const {
    QAbstractButton* found = nullptr;
    int count = 0;
    for (QAbstractButton* button : Window()->findChildren<QAbstractButton*>())
        if (button->toolTip() == tip) {
            found = button;
            ++count;
        }
    EXPECT_EQ(count, 1) << Utf8(tip);
    return found;
}

void MainWindowTest::Click(const QString& tip) {
    QAbstractButton* button = ButtonWithTip(tip);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

void MainWindowTest::Add(std::vector<std::int32_t> ids) {
    host.pickerIds() = std::move(ids);
    Click(QStringLiteral("Добавить хроматограмму"));
}

void MainWindowTest::SelectRows(std::initializer_list<int> rows) {
    CGridCtrl& list = Window()->AssayList();
    list.clearSelection();
    for (int row : rows) {
        list.scrollTo(list.model()->index(row, 1));
        const QRect cell = list.visualRect(list.model()->index(row, 1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
    }
}

void MainWindowTest::ClickListRow(int row) {
    CGridCtrl& list = Window()->AssayList();
    list.scrollTo(list.model()->index(row, 1));
    const QRect cell = list.visualRect(list.model()->index(row, 1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

void MainWindowTest::DeliverPostedEvents() {
    QCoreApplication::sendPostedEvents();
}

void MainWindowTest::SetDemoConditions() {
    Conditions().vW = 100;
    Conditions().vG = 10;
    Conditions().rhoG = 0.7;
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

QString Q(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ModelText(const QAbstractItemModel& model, bool withHeader) {
    const auto text = [](const QVariant& value) { return value.toString().toStdU16String(); };
    std::vector<std::vector<std::u16string>> rows;
    if (withHeader) {
        rows.emplace_back();
        for (int column = 0; column < model.columnCount(); ++column)
            rows.back().push_back(text(model.headerData(column, Qt::Horizontal, Qt::DisplayRole)));
    }
    for (int row = 0; row < model.rowCount(); ++row) {
        rows.emplace_back();
        for (int column = 0; column < model.columnCount(); ++column)
            rows.back().push_back(text(model.data(model.index(row, column), Qt::DisplayRole)));
    }
    return TabbedLines(rows);
}

std::string SaveScreenshot(QWidget& widget, const std::string& name) {
    QDir().mkpath(QStringLiteral(SEPMET_SCREENSHOT_DIR));
    const std::string path = std::string(SEPMET_SCREENSHOT_DIR) + "/" + name + ".png";
    EXPECT_TRUE(widget.grab().save(QString::fromStdString(path))) << path;
    return path;
}

std::string RunBatch(const std::string& arguments) {
    return ProgramOutput(SEPMET_BATCH_EXE, arguments);
}

} // namespace sepmet::testing
