#pragma once
// SIGINT and SIGTERM end the host the way closing its window does: the handler only writes a
// byte to a pipe, and the event loop turns it into a call of `onSignal`.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace sepmet::host {

class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~QuitSignals() override; // the default dispositions come back

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace sepmet::host
