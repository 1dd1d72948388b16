#include "tests/host/session_folder.h"

#include "demo/demo_database.h"

namespace sepmet::host::testing {

void SessionFolderTest::SetUp() {
    Application();
    plugins = folder.File("plugins");
    std::filesystem::create_directories(plugins);
    std::filesystem::copy_file(SEPMET_MODULE_PATH, plugins / "sepmet.so");
    ASSERT_EQ(demo::WriteDemoDatabase(folder.File("demo.sqlite")), "");
}

SessionSettings SessionFolderTest::Settings(bool demo) const {
    return {FileIn(folder, "demo.sqlite"), FileIn(folder, "profile.sqlite"),
            QString::fromStdString(plugins.string()), demo};
}

} // namespace sepmet::host::testing
