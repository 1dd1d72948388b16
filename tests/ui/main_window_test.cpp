// The main window as the operator meets it: opened from the host's menu, driven by its buttons,
// read through its list and pages.

#include "calc/message_log.h"
#include "plugin/exports.h"
#include "plugin/host_services.h"
#include "plugin/module_state.h"
#include "plugin/plugin_info.h"
#include "tests/ui/window_support.h"
#include "ui/dialog_units.h"
#include "ui/grid_ctrl.h"
#include "ui/result_tabs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <gmock/gmock.h>

namespace sepmet::testing {
namespace {

using test::FixtureAssay;
using ::testing::ElementsAre;

const QString kAdd = QStringLiteral("Добавить хроматограмму");
const QString kRemoveSelected = QStringLiteral("Удалить выделенные хроматограммы");
const QString kRemoveAll = QStringLiteral("Удалить все хроматограммы");
const QString kOpen = QStringLiteral("Отрыть хроматограмму");
const QString kReload = QStringLiteral("Пересчитать");

std::vector<QString> Column(const QAbstractItemModel& model, int column) {
    std::vector<QString> texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts.push_back(model.data(model.index(row, column)).toString());
    return texts;
}

TEST_F(MainWindowTest, MenuCommandOpensTheWindowWithItsButtonsListAndPages) {
    DlgMain& window = OpenWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isWindow());
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(window.parentWidget(), menuParent);
    EXPECT_EQ(window.windowTitle(),
              Q(PluginInformation().title) + QStringLiteral(" , ver.  1.0.2.0"));
    EXPECT_FALSE(window.windowIcon().isNull());
    // 840 x 468, but never wider or higher than the screen's work area leaves for the window
    // inside its frame (800 wide offscreen).
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LT(window.minimumWidth(), area.width());
    EXPECT_EQ(window.minimumHeight(), 468);
    // The fake host loads no translation: the plug-in brings Qt's Russian texts itself.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));

    std::vector<QString> tips;
    for (QAbstractButton* button :
         window.findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        tips.push_back(button->toolTip());
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_EQ(button->iconSize(), QSize(16, 16));
    }
    EXPECT_THAT(tips, ElementsAre(kAdd, kRemoveSelected, kRemoveAll, kOpen, kReload,
                                  QStringLiteral("Открыть настройки"),
                                  QStringLiteral("Создать отчёт"), QStringLiteral("О плагине")));

    const QAbstractItemModel& list = *window.AssayList().model();
    EXPECT_EQ(ModelText(list, true), "№\tИмя файла\tПроба\tТип хромотограммы\tСмесь\n");
    EXPECT_EQ(window.AssayList().columnWidth(1), ApplicationDialogUnits().ScaleTemplatePixels(230));
    EXPECT_EQ(window.AssayList().selectionMode(), QAbstractItemView::ExtendedSelection);

    QTabWidget& tabs = window.Tabs();
    ASSERT_EQ(tabs.count(), 4);
    EXPECT_EQ(tabs.tabText(0), QStringLiteral("Инф. с хром."));
    EXPECT_EQ(tabs.tabText(1), QStringLiteral("Градуировка"));
    EXPECT_EQ(tabs.tabText(2), QStringLiteral("Расчет"));
    EXPECT_EQ(tabs.tabText(3), QStringLiteral("Сист. сообщения"));
    EXPECT_EQ(tabs.currentIndex(), 0);
    EXPECT_EQ(ModelText(*window.ComponentsPage().Grid().model(), true),
              "№\tКомпонент\tПлощадь пика\tВремя выхода, мин\n");
    EXPECT_EQ(ModelText(*window.GradPage().Grid().model(), true),
              "№\tКомпонент\tК градуировочный\n");
    EXPECT_EQ(ModelText(*window.CalcPage().Grid().model(), true),
              "№\tКомпонент\tМасс. концентр. ,мг/дм3\tМасс. доля , %\tМолярная доля , %\n");
    // The window opens empty and has already recalculated.
    EXPECT_EQ(ModelText(*window.MessagePage().List().model(), false),
              "Ошибки!\n     - Список хроматограмм пуст.\nПредупреждения!\n"
              "     - Градуировка метанола не была проведена.\n");

    // A second command shows the same window.
    host.ChooseMenuItem(reinterpret_cast<HostWord>(menuParent));
    EXPECT_EQ(Window(), &window);
}

TEST_F(MainWindowTest, ClosingSavesDestroysAndTheNextCommandBuildsAFreshWindow) {
    for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
        QPointer<DlgMain> window = &OpenWindow();
        QTest::keyClick(window.data(), static_cast<Qt::Key>(key));
        EXPECT_EQ(Module().mainDialog, nullptr);
        EXPECT_TRUE(Module().recreateMainDialog);
        EXPECT_FALSE(window->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window.isNull());
        OpenWindow();
        EXPECT_NE(Window(), nullptr);
        Window()->close(); // the close box
        EXPECT_EQ(Module().mainDialog, nullptr);
    }
}

TEST_F(MainWindowTest, UnloadDestroysOpenAndClosedWindowsAtOnce) {
    QPointer<DlgMain> closed = &OpenWindow();
    closed->reject(); // closed, its deletion still queued
    QPointer<DlgMain> open = &OpenWindow();
    ASSERT_FALSE(closed.isNull());
    Unload();
    // Nothing of the plug-in is left for the event loop to reach after the library is gone.
    EXPECT_TRUE(closed.isNull());
    EXPECT_TRUE(open.isNull());
    EXPECT_EQ(Module().hostApi, nullptr);
    EXPECT_EQ(Module().mainDialog, nullptr);
}

TEST_F(MainWindowTest, AddFillsTheListNotifiesTheHostAndRecalculates) {
    FixtureAssay a(1, u"5 мг град", true, {{u"Метанол", 10, 1.5}});
    a.filename = u"D:\\data\\2024\\first.chr";
    a.mixture = u"Смесь 1";
    FixtureAssay b(2, u"Проверка 25 мг град", true);
    b.filename = u"second.chr";
    FixtureAssay c(3, u"Проверка поглот");
    db.Add(a).Add(b).Add(c);
    DlgMain& window = OpenWindow();
    QSignalSpy recalculated(window.MessagePage().List().model(), &QAbstractItemModel::modelReset);

    Add({2, 1, 3, 99});
    DeliverPostedEvents();
    const QAbstractItemModel& list = *window.AssayList().model();
    EXPECT_EQ(ModelText(list, false), "1\tsecond.chr\tПроверка 25 мг град\tПроверка\t\n"
                                      "2\tfirst.chr\t5 мг град\tГрадуировка\tСмесь 1\n"
                                      "3\t\tПроверка поглот\tАнализ\t\n");
    EXPECT_EQ(list.data(list.index(1, 0), GridRole::UserData).toInt(), 1);
    EXPECT_EQ(hostWindow->assayListChanged, 1);
    EXPECT_EQ(recalculated.count(), 1);
    // The picker was owned by the main window.
    ASSERT_EQ(host.CountCalls("callService", HostService::OpenAssayIdDlg), 1);
    EXPECT_EQ(host.CallsOf("callService", HostService::OpenAssayIdDlg)[0].second,
              window.WindowHandle());

    // Identifiers already listed add nothing, but the list, the host and the pages still hear.
    Add({1});
    DeliverPostedEvents();
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_EQ(hostWindow->assayListChanged, 2);
    EXPECT_EQ(recalculated.count(), 2);

    // No chromatogram found: no refresh, no notice, but a recalculation.
    Add({77});
    DeliverPostedEvents();
    EXPECT_EQ(hostWindow->assayListChanged, 2);
    EXPECT_EQ(recalculated.count(), 3);
}

TEST_F(MainWindowTest, PickerAnswersZeroOrAbove256ChangeNothingANegativeOneRecalculates) {
    db.Add({1});
    DlgMain& window = OpenWindow();
    QSignalSpy recalculated(window.MessagePage().List().model(), &QAbstractItemModel::modelReset);
    for (HostWord answer : {HostWord{0}, HostWord{257}, HostWord{300}}) {
        host.OfferAnswer(HostService::OpenAssayIdDlg, answer);
        Click(kAdd);
    }
    EXPECT_EQ(recalculated.count(), 0);
    host.OfferAnswer(HostService::OpenAssayIdDlg, -1);
    Click(kAdd);
    EXPECT_EQ(recalculated.count(), 1);
    EXPECT_TRUE(window.Assays().Empty());
    // Without the picker service the button does nothing at all.
    host.Remove(HostService::OpenAssayIdDlg);
    Click(kAdd);
    EXPECT_EQ(recalculated.count(), 1);
}

TEST_F(MainWindowTest, RemoveCommandsRefreshNotifyEmptyThePeaksAndRecalculate) {
    db.Add({1, u"a", false, {{u"Метанол", 1, 1}}}).Add({2, u"b"}).Add({3, u"c"}).Add({4, u"d"});
    DlgMain& window = OpenWindow();
    Add({1, 2, 3, 4});
    ClickListRow(0);
    EXPECT_EQ(window.ComponentsPage().Grid().model()->rowCount(), 1);
    QSignalSpy recalculated(window.MessagePage().List().model(), &QAbstractItemModel::modelReset);
    DeliverPostedEvents();
    const int notices = hostWindow->assayListChanged;

    window.AssayList().clearSelection();
    Click(kRemoveSelected); // nothing selected: nothing goes, everything else still happens
    DeliverPostedEvents();
    EXPECT_EQ(window.Assays().Count(), 4u);
    EXPECT_EQ(window.ComponentsPage().Grid().model()->rowCount(), 0);
    EXPECT_EQ(hostWindow->assayListChanged, notices + 1);
    EXPECT_EQ(recalculated.count(), 1);

    SelectRows({1, 3});
    Click(kRemoveSelected);
    EXPECT_EQ(window.Assays().Ids(), (std::vector<std::int32_t>{1, 3}));
    EXPECT_THAT(Column(*window.AssayList().model(), 0),
                ElementsAre(QStringLiteral("1"), QStringLiteral("2")));

    Click(kRemoveAll); // answered No, the default: nothing happens
    ASSERT_EQ(boxes.questions.size(), 1u);
    EXPECT_EQ(boxes.questions[0].text, u"Удалить все хроматограммы (2)?");
    EXPECT_EQ(boxes.questions[0].caption, u"Плагин: Газ сепарации");
    EXPECT_EQ(window.Assays().Count(), 2u);
    EXPECT_EQ(recalculated.count(), 2);

    boxes.answer = true;
    Click(kRemoveAll);
    EXPECT_TRUE(window.Assays().Empty());
    EXPECT_EQ(window.AssayList().model()->rowCount(), 0);
    EXPECT_EQ(recalculated.count(), 3);
}

TEST_F(MainWindowTest, PeakPageFollowsTheCurrentRowAndNamesItsChromatogram) {
    for (int id : {1, 2, 3}) {
        FixtureAssay row(id, u"Раствор град. " + std::u16string(1, char16_t(u'0' + id)), true,
                         {{u"Метанол", 10.0 * id, 1.5}, {u"Этанол", 1, 2}});
        row.filename = u"D:\\Chrom\\grad_0" + std::u16string(1, char16_t(u'0' + id)) + u".chr";
        db.Add(row);
    }
    DlgMain& window = OpenWindow();
    Add({1, 2, 3});
    const QAbstractItemModel& peaks = *window.ComponentsPage().Grid().model();
    auto area = [&] { return peaks.data(peaks.index(0, 2)).toString(); };
    auto caption = [&] { return window.ComponentsPage().Caption().text(); };

    ClickListRow(0); // the mouse
    EXPECT_EQ(area(), QStringLiteral("10,000"));
    EXPECT_EQ(caption(), QStringLiteral("№ 1: grad_01.chr, Раствор град. 1"));
    window.AssayList().setFocus();
    QTest::keyClick(&window.AssayList(), Qt::Key_Down); // the keyboard
    EXPECT_EQ(area(), QStringLiteral("20,000"));
    EXPECT_EQ(caption(), QStringLiteral("№ 2: grad_02.chr, Раствор град. 2"));
    SaveScreenshot(window, "main_window_peaks_of_current_row");

    // Another page open: the peak page still follows, and is refreshed when shown again.
    window.Tabs().setCurrentIndex(3);
    QTest::keyClick(&window.AssayList(), Qt::Key_Down);
    db.Execute("UPDATE peak SET area = 31 WHERE assayid = 3 AND name = 'Метанол';");
    Click(kReload);
    window.Tabs().setCurrentIndex(0);
    EXPECT_EQ(area(), QStringLiteral("31,000"));
    EXPECT_EQ(caption(), QStringLiteral("№ 3: grad_03.chr, Раствор град. 3"));

    // "+" keeps the current chromatogram; "--" empties the page and its line.
    Add({1});
    EXPECT_EQ(caption(), QStringLiteral("№ 3: grad_03.chr, Раствор град. 3"));
    boxes.answer = true;
    Click(kRemoveAll);
    EXPECT_EQ(peaks.rowCount(), 0);
    EXPECT_EQ(caption(), QString());
}

TEST_F(MainWindowTest, KeyboardEnterStaysTabLeavesTheListCtrlTabTurnsPages) {
    db.Add({1}).Add({2});
    DlgMain& window = OpenWindow();
    Add({1, 2});
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.AssayList().setFocus();
    QTest::keyClick(&window.AssayList(), Qt::Key_Return);
    QTest::keyClick(&window.AssayList(), Qt::Key_Enter);
    EXPECT_TRUE(window.isVisible()); // Enter in the list does not close the window

    QTest::keyClick(&window.AssayList(), Qt::Key_Down); // arrows move in the list
    EXPECT_EQ(window.AssayList().currentIndex().row(), 1);
    QTest::keyClick(&window.AssayList(), Qt::Key_Tab); // one press leaves it
    QWidget* next = QApplication::focusWidget();
    EXPECT_TRUE(next == &window.Tabs() || window.Tabs().isAncestorOf(next)); // the next control

    // Wherever the focus is, Ctrl+Tab and Ctrl+Shift+Tab turn the pages, round at the ends.
    window.AssayList().setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(window.Tabs().currentIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window.Tabs().currentIndex(), 3);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, OpenHandsEverySelectedFileToTheHostInListOrder) {
    for (int id : {1, 2, 3, 4}) {
        FixtureAssay row(id);
        row.filename = u"C:\\chrom\\" + std::u16string(1, static_cast<char16_t>(u'0' + id));
        db.Add(row);
    }
    DlgMain& window = OpenWindow();
    Add({4, 3, 2, 1});
    Click(kOpen); // nothing selected
    EXPECT_TRUE(host.openedFiles().empty());
    SelectRows({3, 0, 2});
    Click(kOpen);
    EXPECT_THAT(host.openedFiles(), ElementsAre(u"C:\\chrom\\4", u"C:\\chrom\\2", u"C:\\chrom\\1"));
    EXPECT_EQ(window.Assays().Count(), 4u);
}

TEST_F(MainWindowTest, ReloadKeepsOrderDropsVanishedAndClearsMarks) {
    db.Add({3, u"old"}).Add({1}).Add({2});
    DlgMain& window = OpenWindow();
    Add({3, 1, 2});
    window.AssayList().Model().SetCheckState(0, 1);
    window.AssayList().Model().SetCheckState(2, 1);
    Add({}); // "+" keeps the marks of the rows in the collection
    EXPECT_EQ(window.Assays()[2].isChecked, 1);
    db.Execute("DELETE FROM assay WHERE id = 1; UPDATE assay SET sample = 'new' WHERE id = 3;");
    Click(kReload);
    EXPECT_EQ(window.Assays().Ids(), (std::vector<std::int32_t>{3, 2}));
    const QAbstractItemModel& list = *window.AssayList().model();
    EXPECT_EQ(list.data(list.index(0, 2)).toString(), QStringLiteral("new"));
    for (int row = 0; row < list.rowCount(); ++row)
        EXPECT_EQ(list.data(list.index(row, 0), GridRole::RowCheckState).toInt(), 0);
}

TEST_F(MainWindowTest, ClickShowsThePeaksOfThatChromatogramOnly) {
    db.Add({1, u"a", false, {{u"Метанол", 12.3456, 1.5}, {u"Этанол", 7, 2.25}}}).Add({2, u"b"});
    DlgMain& window = OpenWindow();
    Add({1, 2});
    window.Tabs().setCurrentIndex(2);
    ClickListRow(0);
    const QAbstractItemModel& peaks = *window.ComponentsPage().Grid().model();
    EXPECT_EQ(ModelText(peaks, false), "1\tМетанол\t12,346\t1,500\n2\tЭтанол\t7,000\t2,250\n");
    EXPECT_EQ(window.Tabs().currentIndex(), 2); // the click does not change the page

    // Below the last row: nothing changes.
    CGridCtrl& list = window.AssayList();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, list.viewport()->height() - 3));
    EXPECT_EQ(peaks.rowCount(), 2);
    ClickListRow(1); // no peaks
    EXPECT_EQ(peaks.rowCount(), 0);
}

TEST_F(MainWindowTest, ResizingGrowsListAndTabsByTheRulesAndKeepsTheMinimum) {
    DlgMain& window = OpenWindow();
    const QRect list = window.AssayList().geometry();
    const QRect tabs = window.Tabs().geometry();
    const QRect button = window.Button(1000)->geometry();
    window.resize(window.width() + 100, window.height() + 60);
    EXPECT_EQ(window.AssayList().geometry(), list.adjusted(0, 0, 100, 30));
    EXPECT_EQ(window.Tabs().geometry(), tabs.adjusted(0, 30, 100, 60));
    EXPECT_EQ(window.Button(1000)->geometry(), button);
    for (int page = 0; page < 4; ++page) {
        window.Tabs().setCurrentIndex(page);
        QWidget* shown = window.Tabs().currentWidget();
        EXPECT_TRUE(shown->isVisible());
        const QRect inTabs(shown->mapTo(&window.Tabs(), QPoint(0, 0)), shown->size());
        EXPECT_TRUE(QRect(QPoint(0, 0), window.Tabs().size()).contains(inTabs));
        for (int other = 0; other < 4; ++other) {
            if (other != page) {
                EXPECT_FALSE(window.Tabs().widget(other)->isVisible());
            }
        }
    }
    window.resize(100, 100);
    EXPECT_EQ(window.size(), window.minimumSize());
    EXPECT_GE(window.height(), 468);
}

} // namespace
} // namespace sepmet::testing
