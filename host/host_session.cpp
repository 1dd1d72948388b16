#include "host/host_session.h"

#include "host/assay_picker.h"
#include "host/assay_table_model.h"
#include "host/chromatogram_window.h"
#include "host/host_window.h"
#include "host/modules_dialog.h"
#include "host/profile_services.h"
#include "host/profile_store.h"
#include "platform/message_box.h"
#include "plugin/host_api.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>

namespace sepmet::host {
namespace {

constexpr char16_t kCaption[] = u"sepmet-host";

void ShowError(QWidget* owner, const QString& text) {
    ShowMessageBox(reinterpret_cast<std::intptr_t>(owner), kCaption, text.toStdU16String(),
                   MessageIcon::Error);
}

QString TextAt(HostWord word) {
    const auto* text = reinterpret_cast<const char16_t*>(word);
    return text ? QString::fromUtf16(text) : QString();
}

} // namespace

QString DatabaseKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

HostSession::HostSession(SessionSettings settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)), plugins_(table_) {}

HostSession::~HostSession() {
    Shutdown();
}

bool HostSession::Start(QString* error) {
    if (started_)
        return true;
    window_ = std::make_unique<HostWindow>();
    QString reason;
    if (!window_->ShowDatabase(settings_.database, settings_.demo, &reason)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(settings_.database, reason);
        window_.reset();
        return false;
    }
    started_ = true;
    connect(window_.get(), &HostWindow::closing, this, &HostSession::quitRequested);
    connect(window_.get(), &HostWindow::openDatabaseRequested, this, &HostSession::AskForDatabase);
    connect(window_.get(), &HostWindow::modulesRequested, this, &HostSession::ShowModules);
    connect(window_.get(), &HostWindow::chromatogramRequested, this,
            &HostSession::OpenChromatogram);

    std::string storeError;
    profile_ = ProfileStore::Open(settings_.profileFile.toStdString(), storeError);
    if (!profile_)
        ShowError(nullptr, QStringLiteral("Профиль %1 не открыт: %2\nНастройки модулей не будут"
                                          " сохранены.")
                               .arg(settings_.profileFile, QString::fromStdString(storeError)));
    else if (profile_->readOnly())
        ShowError(nullptr, QStringLiteral("Профиль %1 открыт только для чтения: изменения настроек"
                                          " модулей не будут сохранены.")
                               .arg(settings_.profileFile));
    OfferServices();
    AnnounceLocation(settings_.database);

    window_->show();
    plugins_.OpenFolder(settings_.pluginFolder.toStdString());
    window_->SetModuleCount(static_cast<int>(plugins_.plugins().size()));
    plugins_.LoadAll();
    return true;
}

void HostSession::AnnounceLocation(const QString& path) {
    locations_.push_back(path.toStdU16String());
    if (profile_)
        profile_->SelectDatabase(DatabaseKey(path).toStdU16String());
}

void HostSession::OfferServices() {
    table_.Offer(HostService::CreateNewMenu, [this](HostWord, HostWord second) -> HostWord {
        const auto* request = reinterpret_cast<const MenuItemRequest*>(second);
        if (!request || request->size < sizeof(MenuItemRequest) || !request->path ||
            !request->service || !window_)
            return 0;
        const std::string service = request->service; // the request lives only for the call
        QWidget* central = window_->centralWidget();
        return window_->AddPluginMenuItem(
            QString::fromUtf16(request->path), [this, service, central] {
                table_.Call(service, reinterpret_cast<HostWord>(central), 0);
            });
    });
    table_.Offer(HostService::OpenAssayIdDlg, [this](HostWord first, HostWord second) -> HostWord {
        auto* request = reinterpret_cast<AssayIdRequest*>(first);
        if (!request)
            return 0;
        auto* parent = second ? reinterpret_cast<QWidget*>(second) : window_.get();
        return RunAssayPicker(settings_.database, request->ids, request->capacity, parent);
    });
    table_.Offer(HostService::OpenAssayFile, [this](HostWord, HostWord second) -> HostWord {
        return OpenChromatogram(TextAt(second));
    });
    table_.Offer(HostService::GetConnectionUri, [this](HostWord, HostWord) -> HostWord {
        return locations_.empty() ? 0 : reinterpret_cast<HostWord>(locations_.back().c_str());
    });
    if (profile_)
        OfferProfileServices(table_, *profile_);
}

bool HostSession::OpenChromatogram(const QString& fileName) {
    if (!window_)
        return false;
    QString reason;
    auto chromatogram = ReadChromatogram(settings_.database, fileName, &reason);
    if (!chromatogram) {
        ShowError(window_.get(),
                  reason.isEmpty()
                      ? QStringLiteral("Хроматограмма «%1» не найдена в базе.").arg(fileName)
                      : QStringLiteral("База не прочитана: %1").arg(reason));
        return false;
    }
    auto* viewer = new ChromatogramWindow(std::move(*chromatogram), window_.get());
    viewer->show();
    return true;
}

bool HostSession::ChooseMenuItem(const QString& path) {
    QAction* action = window_ ? window_->FindAction(path) : nullptr;
    if (!action)
        return false;
    action->trigger();
    return true;
}

bool HostSession::SwitchDatabase(const QString& path, QString* error) {
    if (!window_)
        return false;
    {
        // Read the new database before anything is closed, so that a bad choice changes nothing.
        AssayTableModel probe;
        if (!probe.OpenDatabase(path, error))
            return false;
    }
    plugins_.UnloadAll();
    window_->RemovePluginMenuItems();
    settings_.database = path;
    settings_.demo = false;
    window_->ShowDatabase(path, false, error);
    AnnounceLocation(path);
    plugins_.LoadAll();
    return true;
}

void HostSession::AskForDatabase() {
    const QString path = QFileDialog::getOpenFileName(
        window_.get(), QStringLiteral("Открыть базу"), QFileInfo(settings_.database).path(),
        QStringLiteral("Базы хроматограмм (*.sqlite *.db *.sqlite3);;Все файлы (*)"));
    if (path.isEmpty())
        return;
    QString reason;
    if (!SwitchDatabase(path, &reason))
        ShowError(window_.get(), QStringLiteral("База %1 не открыта: %2").arg(path, reason));
    else
        QSettings().setValue(QStringLiteral("lastDatabase"), DatabaseKey(path));
}

void HostSession::ShowModules() {
    auto* dialog = new ModulesDialog(plugins_, settings_.pluginFolder, window_.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void HostSession::Shutdown() {
    if (ended_ || !started_)
        return;
    ended_ = true;
    // The plug-ins' windows may be children of the host window: Unload closes them (saving
    // their state) while their parent still exists.
    plugins_.UnloadAll();
    if (window_)
        window_->RemovePluginMenuItems();
    window_.reset();
    plugins_.CloseAll();
    WithdrawProfileServices(table_);
    profile_.reset();
}

} // namespace sepmet::host
