#include "ui/icons.h"

#include <QString>

// The resource file is compiled into a static library: its registration must be asked for.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace sepmet {
namespace {

QString IconPath(const char* name) {
    static const bool registered = (InitIconResources(), true);
    (void)registered;
    return QStringLiteral(":/sepmet/icons/%1.svg").arg(QLatin1StringView(name));
}

} // namespace

QIcon CommandIcon(const char* name) {
    return QIcon(IconPath(name));
}

const QIcon& WindowIcon() {
    static const QIcon icon(IconPath("sepmet"));
    return icon;
}

} // namespace sepmet
