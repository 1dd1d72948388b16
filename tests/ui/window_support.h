#pragma once
// The plug-in loaded into a fake host with a real window system (offscreen): the host's own
// windows, the operator's clicks, and what the window shows, read through its models.

#include "calc/calculation_state.h"
#include "plugin/host_api.h"
#include "tests/support/demo_determination.h"
#include "tests/support/fake_host.h"
#include "tests/support/fixture_database.h"
#include "tests/support/message_box_recorder.h"
#include "ui/dlg_main.h"

#include <QAbstractItemModel>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>

class QAbstractButton;
class QAbstractItemView;

namespace sepmet::testing {

// The one QApplication of the test program (offscreen, a fixed font for stable layouts).
void EnsureApplication();

// A host window that counts the posted events of type 1035 it receives.
class HostWindow final : public QWidget {
public:
    using QWidget::QWidget;
    int assayListChanged = 0;

protected:
    bool event(QEvent* event) override;
};

// The application exists before any widget of a fixture.
struct ApplicationFirst {
    ApplicationFirst() { EnsureApplication(); }
};

class MainWindowTest : public ::testing::Test, private ApplicationFirst {
protected:
    MainWindowTest();
    ~MainWindowTest() override;

    // The operator chooses the menu item; the window that opened.
    DlgMain& OpenWindow();
    DlgMain* Window() const;
    // The button whose tooltip is `tip`; fails the test when there is none or several.
    QAbstractButton* ButtonWithTip(const QString& tip) const;
    void Click(const QString& tip);
    // The picker answers these identifiers, then "+" is clicked.
    void Add(std::vector<std::int32_t> ids);
    // Selects list rows as the operator does (Ctrl+click).
    void SelectRows(std::initializer_list<int> rows);
    void ClickListRow(int row);
    void DeliverPostedEvents();

    MeasurementSettings& Conditions() { return ProcessCalculationState().settings; }
    void SetDemoConditions(); // vW 100, vG 10, rhoG 0.7

    FakeHost host;
    MessageBoxRecorder boxes;
    test::FixtureDatabase db;
    HostWindow* hostWindow = nullptr; // the host's main window
    QWidget* menuParent = nullptr;    // its child, the parent handed to the menu command
};

// Every cell text of a view's model, one row a line, cells joined by tabs; with the header line
// first when `withHeader`.
std::string ModelText(const QAbstractItemModel& model, bool withHeader);
std::string Utf8(const QString& text);
QString Q(std::u16string_view text);

// Writes a PNG of `widget` to the screenshot folder; the path written.
std::string SaveScreenshot(QWidget& widget, const std::string& name);

// Runs sepmet-batch with `arguments`; its standard output.
std::string RunBatch(const std::string& arguments);

} // namespace sepmet::testing
