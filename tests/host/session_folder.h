#pragma once
// The folder a host session of the tests runs from: the demo database and a plug-in folder
// holding the built sepmet.so; the session makes its profile store there.

#include "host/host_session.h"
#include "tests/host/host_test_support.h"

#include <QAbstractButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace sepmet::host::testing {

// The plug-in's main window: a shown top-level window whose parent is the host window's
// central widget.
QWidget* PlugInWindow(HostSession& session);
// The button of `window` with that tooltip, or nullptr.
QAbstractButton* ButtonWithTooltip(QWidget& window, const QString& tooltip);

class SessionFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    // A session on the demo database; `demo`: the title says it is the demo.
    SessionSettings Settings(bool demo = true) const;

    TemporaryFolder folder;
    std::filesystem::path plugins;
};

} // namespace sepmet::host::testing
