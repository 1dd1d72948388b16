#pragma once
// The plug-ins of one folder: every *.so that is a regular file is opened, its three exports
// resolved and its information record checked and copied (one copy of each plug-in); Load on each,
// then "System/ModulesLoaded" once; Unload on each, with everything it registered withdrawn;
// dlclose last. A library that is not a plug-in is skipped with a reason and never stops the host.

#include "host/host_table.h"
#include "plugin/host_api.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sepmet::host {

// A copy of a plug-in's information record, safe to read after dlclose.
struct PluginDescription {
    std::u16string name;
    std::uint32_t version = 0;
    std::u16string title;
    std::u16string vendor;
    std::u16string email;
    std::u16string copyright;
    std::u16string url;
    PluginGuid guid{};
};

struct LoadedPlugin {
    std::filesystem::path path;
    PluginDescription description;
    void* handle = nullptr; // dlopen handle
    const PluginInfo* (*getPluginInfo)() = nullptr;
    int (*load)(const HostApi*) = nullptr;
    int (*unload)() = nullptr;
    bool loaded = false; // between Load and Unload
};

struct SkippedLibrary {
    std::filesystem::path path;
    std::string reason;
    bool duplicate = false; // another copy of a plug-in that is loaded
};

class PluginSet {
public:
    explicit PluginSet(HostTable& table) : table_(table) {}
    ~PluginSet(); // Unload and dlclose whatever is still open
    PluginSet(const PluginSet&) = delete;
    PluginSet& operator=(const PluginSet&) = delete;

    // Opens every *.so of `folder` in name order. Each library skipped is reported with one
    // line on standard error. A missing folder skips nothing and opens nothing.
    void OpenFolder(const std::filesystem::path& folder);
    // Load on every open plug-in, then the event "System/ModulesLoaded" once.
    void LoadAll();
    // Unload on every loaded plug-in, in reverse order; what each left registered is withdrawn.
    void UnloadAll();
    // UnloadAll, then dlclose of every library.
    void CloseAll();

    const std::vector<LoadedPlugin>& plugins() const { return plugins_; }
    const std::vector<SkippedLibrary>& skipped() const { return skipped_; }

private:
    void Open(const std::filesystem::path& path);
    void Skip(const std::filesystem::path& path, std::string reason, bool duplicate = false);

    HostTable& table_;
    std::vector<LoadedPlugin> plugins_;
    std::vector<SkippedLibrary> skipped_;
};

// The text of a NUL-terminated UTF-16 pointer; empty for nullptr.
std::u16string CopyText(const char16_t* text);

// "1.0.2.0" from one byte per part, the first part in the most significant byte.
std::string VersionText(std::uint32_t version);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string GuidText(const PluginGuid& guid);

} // namespace sepmet::host
