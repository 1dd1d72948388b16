#include "host/plugin_set.h"

#include "plugin/host_api.h"

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <system_error>

namespace sepmet::host {

std::u16string CopyText(const char16_t* text) {
    return text ? std::u16string(text) : std::u16string();
}

std::string VersionText(std::uint32_t version) {
    return std::to_string(version >> 24) + "." + std::to_string((version >> 16) & 0xff) + "." +
           std::to_string((version >> 8) & 0xff) + "." + std::to_string(version & 0xff);
}

std::string GuidText(const PluginGuid& guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  guid.data1, guid.data2, guid.data3, guid.data4[0], guid.data4[1], guid.data4[2],
                  guid.data4[3], guid.data4[4], guid.data4[5], guid.data4[6], guid.data4[7]);
    return text;
}

PluginSet::~PluginSet() {
    CloseAll();
}

void PluginSet::OpenFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::vector<std::filesystem::path> libraries;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().extension() == ".so" && !entry.is_directory(error))
            libraries.push_back(entry.path());
    std::sort(libraries.begin(), libraries.end());
    for (const auto& path : libraries)
        Open(path);
}

void PluginSet::Skip(const std::filesystem::path& path, std::string reason) {
    std::fprintf(stderr, "sepmet-host: %s skipped: %s\n", path.c_str(), reason.c_str());
    skipped_.push_back({path, std::move(reason)});
}

void PluginSet::Open(const std::filesystem::path& path) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = dlerror();
        Skip(path, error ? error : "dlopen failed");
        return;
    }
    LoadedPlugin plugin;
    plugin.path = path;
    plugin.handle = handle;
    plugin.getPluginInfo =
        reinterpret_cast<const PluginInfo* (*)()>(dlsym(handle, "GetPluginInfo"));
    plugin.load = reinterpret_cast<int (*)(const HostApi*)>(dlsym(handle, "Load"));
    plugin.unload = reinterpret_cast<int (*)()>(dlsym(handle, "Unload"));
    std::string missing;
    for (const auto& [name, symbol] :
         {std::pair<const char*, const void*>{"GetPluginInfo",
                                              reinterpret_cast<const void*>(plugin.getPluginInfo)},
          {"Load", reinterpret_cast<const void*>(plugin.load)},
          {"Unload", reinterpret_cast<const void*>(plugin.unload)}})
        if (!symbol)
            missing += missing.empty() ? name : std::string(", ") + name;
    const PluginInfo* info = missing.empty() ? plugin.getPluginInfo() : nullptr;
    if (!missing.empty() || !info) {
        dlclose(handle);
        Skip(path, missing.empty() ? "GetPluginInfo answered no information record"
                                   : "not a plug-in: no export " + missing);
        return;
    }
    // The record is the plug-in's constant data; copied so that the modules dialog can show it
    // whatever state the library is in.
    plugin.description = {CopyText(info->name),  info->version,
                          CopyText(info->title), CopyText(info->vendor),
                          CopyText(info->email), CopyText(info->copyright),
                          CopyText(info->url),   info->guid};
    plugins_.push_back(std::move(plugin));
}

void PluginSet::LoadAll() {
    for (LoadedPlugin& plugin : plugins_)
        if (!plugin.loaded) {
            plugin.load(table_.api());
            plugin.loaded = true;
        }
    table_.FireEvent(HostService::ModulesLoaded);
}

void PluginSet::UnloadAll() {
    for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it)
        if (it->loaded) {
            it->unload();
            it->loaded = false;
            // What the plug-in forgot to withdraw would point into a library about to close.
            table_.WithdrawLibrary(reinterpret_cast<const void*>(it->unload));
        }
}

void PluginSet::CloseAll() {
    UnloadAll();
    for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it)
        dlclose(it->handle);
    plugins_.clear();
}

} // namespace sepmet::host
