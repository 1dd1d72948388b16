#pragma once
// A freshly loaded plug-in in front of a fake host, with message boxes recorded.

#include "data/connection.h"
#include "plugin/exports.h"
#include "plugin/host_services.h"
#include "plugin/main_window.h"
#include "plugin/module_state.h"
#include "tests/support/fake_host.h"
#include "tests/support/message_box_recorder.h"

#include <gtest/gtest.h>

namespace sepmet::testing {

class PluginTest : public ::testing::Test {
protected:
    PluginTest() { Fresh(); }
    ~PluginTest() override { Fresh(); }

    // Load and the host's "System/ModulesLoaded" event.
    void StartPlugin() {
        ASSERT_EQ(Load(host.api()), 0);
        ASSERT_TRUE(host.FireEvent(HostService::ModulesLoaded));
    }

    static void Fresh() {
        ResetModuleState();
        DataBase::DeleteConnection();
        SetMainWindowFactory(nullptr);
    }

    FakeHost host;
    MessageBoxRecorder boxes;
};

} // namespace sepmet::testing
