// sepmet.so loaded the way a host loads it: by file name, through its three exported names. The
// module is the build's, or the one $SEPMET_MODULE names (the installed copy, in the package test).
#include "plugin/host_api.h"
#include "plugin/host_services.h"
#include "tests/support/fake_host.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string_view>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace sepmet::testing {
namespace {

#if defined(_WIN32)
// The host's own way on Windows: LoadLibraryW and GetProcAddress.
void* OpenModule() {
    const wchar_t* path = _wgetenv(L"SEPMET_MODULE");
    return LoadLibraryW(path && *path ? path : L"" SEPMET_MODULE_PATH);
}
void* Symbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
std::string OpenError() {
    return "LoadLibraryW failed: " + std::to_string(GetLastError());
}
int CloseModule(void* module) {
    return FreeLibrary(static_cast<HMODULE>(module)) ? 0 : -1;
}
#else
// Kept mapped after dlclose: libraries the window system brings along (libgomp among them)
// keep allocations for the life of the process, which LeakSanitizer would otherwise report
// from an unmapped module it cannot name, out of reach of a suppression.
void* OpenModule() {
    const char* path = std::getenv("SEPMET_MODULE");
    return dlopen(path && *path ? path : SEPMET_MODULE_PATH, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}
void* Symbol(void* module, const char* name) {
    return dlsym(module, name);
}
std::string OpenError() {
    return dlerror();
}
int CloseModule(void* module) {
    return dlclose(module);
}
#endif

TEST(PluginModule, LoadsStartsAndUnloadsThroughItsExports) {
    void* module = OpenModule();
    ASSERT_NE(module, nullptr) << OpenError();
    using GetInfo = const PluginInfo*(SEPMET_CDECL*)();
    using LoadFn = int(SEPMET_CDECL*)(const HostApi*);
    using UnloadFn = int(SEPMET_CDECL*)();
    auto getInfo = reinterpret_cast<GetInfo>(Symbol(module, "GetPluginInfo"));
    auto load = reinterpret_cast<LoadFn>(Symbol(module, "Load"));
    auto unload = reinterpret_cast<UnloadFn>(Symbol(module, "Unload"));
    ASSERT_TRUE(getInfo && load && unload);
    EXPECT_EQ(Symbol(module, "OnModulesLoaded"), nullptr);

    EXPECT_EQ(std::u16string_view(getInfo()->name), u"sepmet");
    {
        FakeHost host;
        host.OfferAll(u"analysis.db");
        EXPECT_EQ(load(host.api()), 0);
        EXPECT_TRUE(host.FireEvent(HostService::ModulesLoaded));
        EXPECT_TRUE(host.HasPluginService(HostService::MenuCommand));
        ASSERT_EQ(host.menuItems().size(), 1u);
        EXPECT_EQ(host.menuItems()[0].path, u"Данные/Расчёты/Метанол в газе сепарации");
#if !defined(_WIN32)
        // Without a QApplication the module installs no window factory: nothing opens. (On
        // Windows the command opens the Win32 window, whose message boxes a loaded module shows
        // for real; the window tests drive it in process.)
        EXPECT_EQ(host.ChooseMenuItem(0x1234), 0);
#endif
        EXPECT_EQ(unload(), 0);
        EXPECT_FALSE(host.HasPluginService(HostService::MenuCommand));
    }
    EXPECT_EQ(CloseModule(module), 0);
}

#if defined(_WIN32)
// Event Viewer shows an audit trail's entry in the Application log through the message table of
// the module the event source names: event 0 is the entry's own text, in any viewer's language.
TEST(PluginModule, ItsMessageTableShowsAnEventLogEntryAsItsText) {
    void* module = OpenModule();
    ASSERT_NE(module, nullptr) << OpenError();
    const std::wstring_view entry = L"sepmet audit trail 0f3a: event 7, hash 9c1d";
    DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(entry.data())};
    const LANGID languages[] = {0, MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)};
    for (const LANGID language : languages) {
        wchar_t text[128] = {};
        const DWORD length =
            FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, 0,
                           language, text, 128, reinterpret_cast<va_list*>(inserts));
        EXPECT_EQ(std::wstring_view(text, length), entry) << "language " << language;
    }
    EXPECT_EQ(CloseModule(module), 0);
}
#endif

} // namespace
} // namespace sepmet::testing
