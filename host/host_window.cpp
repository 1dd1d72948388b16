#include "host/host_window.h"

#include "host/assay_table_model.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace sepmet::host {
namespace {

QString MenuTitle(const QString& text) {
    return QString(text).remove(u'&');
}

QStringList PathParts(const QString& path) {
    QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    parts.removeAll(QString());
    return parts;
}

} // namespace

HostWindow::HostWindow(QWidget* parent)
    : QMainWindow(parent), model_(new AssayTableModel(this)), table_(nullptr), fileMenu_(nullptr),
      helpMenu_(nullptr), status_(new QLabel(this)) {
    // The plug-in's windows take this widget as their parent, so that the parent of their
    // parent is this window, which receives their notifications.
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("hostCentralWidget"));
    table_ = new QTableView(central);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setWordWrap(false);
    const int widths[] = {56, 112, 210, 250, 170, 190, 90};
    for (int column = 0; column < AssayTableModel::ColumnCount; ++column)
        table_->setColumnWidth(column, widths[column]);
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit chromatogramRequested(model_->FileNameAt(index.row()));
    });
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(table_);
    setCentralWidget(central);

    fileMenu_ = menuBar()->addMenu(QStringLiteral("Файл"));
    QAction* open = fileMenu_->addAction(QStringLiteral("Открыть базу…"));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &HostWindow::openDatabaseRequested);
    fileMenu_->addSeparator();
    QAction* quit = fileMenu_->addAction(QStringLiteral("Выход"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    helpMenu_ = menuBar()->addMenu(QStringLiteral("Справка"));
    QAction* modules = helpMenu_->addAction(QStringLiteral("Модули"));
    connect(modules, &QAction::triggered, this, &HostWindow::modulesRequested);

    statusBar()->addWidget(status_, 1);
    resize(1180, 640);
}

HostWindow::~HostWindow() = default;

bool HostWindow::ShowDatabase(const QString& path, bool demo, QString* error) {
    if (!model_->OpenDatabase(path, error))
        return false;
    databasePath_ = path;
    QString title = QStringLiteral("sepmet-host — %1").arg(path);
    // A demo result must never be taken for a laboratory's: the title says so.
    if (demo)
        title += QStringLiteral(" (демонстрационная база)");
    setWindowTitle(title);
    RefreshStatus();
    return true;
}

void HostWindow::SetModuleCount(int count) {
    moduleCount_ = count;
    RefreshStatus();
}

void HostWindow::RefreshStatus() {
    statusText_ = QStringLiteral("База: %1    Хроматограмм: %2    Модулей: %3")
                      .arg(databasePath_.isEmpty() ? QStringLiteral("не открыта") : databasePath_)
                      .arg(model_->TotalCount())
                      .arg(moduleCount_);
    status_->setText(statusText_);
}

bool HostWindow::AddPluginMenuItem(const QString& path, std::function<void()> command) {
    const QStringList parts = PathParts(path);
    if (parts.size() < 2)
        return false;
    // The first part is a menu of the menu bar, placed before "Справка"; further parts are
    // submenus, found by title or made.
    QMenu* menu = nullptr;
    for (QAction* action : menuBar()->actions())
        if (action->menu() && MenuTitle(action->text()) == parts.front())
            menu = action->menu();
    if (!menu) {
        menu = new QMenu(parts.front(), this);
        menuBar()->insertMenu(helpMenu_->menuAction(), menu);
        pluginMenus_.push_back(menu);
    }
    for (int i = 1; i + 1 < parts.size(); ++i) {
        QMenu* sub = nullptr;
        for (QAction* action : menu->actions())
            if (action->menu() && MenuTitle(action->text()) == parts[i])
                sub = action->menu();
        if (!sub) {
            sub = menu->addMenu(parts[i]);
            pluginMenus_.push_back(sub);
        }
        menu = sub;
    }
    QAction* action = menu->addAction(parts.back());
    connect(action, &QAction::triggered, this, [command = std::move(command)] { command(); });
    pluginActions_.push_back(action);
    return true;
}

void HostWindow::RemovePluginMenuItems() {
    for (QAction* action : pluginActions_)
        delete action;
    pluginActions_.clear();
    // Innermost first, so that a parent menu is seen empty once its submenus are gone.
    for (auto it = pluginMenus_.rbegin(); it != pluginMenus_.rend(); ++it)
        delete *it;
    pluginMenus_.clear();
}

QAction* HostWindow::FindAction(const QString& path) const {
    const QStringList parts = PathParts(path);
    if (parts.isEmpty())
        return nullptr;
    QList<QAction*> actions = menuBar()->actions();
    for (int i = 0; i < parts.size(); ++i) {
        const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction* action) {
            return MenuTitle(action->text()) == parts[i];
        });
        if (found == actions.end())
            return nullptr;
        if (i + 1 == parts.size())
            return (*found)->menu() ? nullptr : *found;
        if (!(*found)->menu())
            return nullptr;
        actions = (*found)->menu()->actions();
    }
    return nullptr;
}

bool HostWindow::event(QEvent* event) {
    if (event->type() == static_cast<QEvent::Type>(kAssayListChangedEvent)) {
        // The plug-in changed its list; the database may have grown meanwhile as well.
        model_->RecountTotal();
        RefreshStatus();
        return true;
    }
    return QMainWindow::event(event);
}

void HostWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closing();
}

} // namespace sepmet::host
