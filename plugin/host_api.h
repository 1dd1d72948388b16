// The binary boundary between the host and the plug-in: the information record, the host
// function table and the records passed to host services. Every 32-bit value of the host's
// original table is a pointer-sized word here, so a 32-bit build has exactly the host's layout;
// the static_asserts at the end pin that layout. This header stands on its own (CI compiles it
// with -m32 -fsyntax-only).

// Include guard rather than #pragma once: CI compiles this header as a main file.
#ifndef SEPMET_PLUGIN_HOST_API_H
#define SEPMET_PLUGIN_HOST_API_H

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define SEPMET_CDECL __cdecl
#else
#define SEPMET_CDECL
#endif

namespace sepmet {

// A service parameter, result or handle: 32 bits on the host's own platform.
using HostWord = std::intptr_t;

// What callService answers for a service that does not exist: the low 32 bits are 0x80000000,
// sign-extended to the word size.
inline constexpr HostWord kServiceMissing =
    static_cast<HostWord>(static_cast<std::int32_t>(0x80000000u));

// An event or service callback; the plug-in's callbacks return 0. Event callbacks read no
// parameter, the menu command reads only the first (the parent window).
using HostCallback = HostWord(SEPMET_CDECL*)(HostWord first, HostWord second);

// A GUID in its standard 16-byte layout.
struct PluginGuid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

struct PluginInfo {
    std::uint32_t size; // sizeof(PluginInfo): 48 on the host's 32-bit platform
    const char16_t* name;
    std::uint32_t version; // one byte per part, the first part in the most significant byte
    const char16_t* title;
    const char16_t* vendor;
    const char16_t* email;
    const char16_t* copyright;
    const char16_t* url;
    PluginGuid guid;
};

using UnusedHostEntry = void(SEPMET_CDECL*)();

// The host function table handed to Load; the plug-in keeps the pointer and never copies it.
// Names are NUL-terminated 8-bit ASCII.
struct HostApi {
    UnusedHostEntry unused[3];
    HostWord(SEPMET_CDECL* subscribe)(const char* event, HostCallback callback);
    HostWord(SEPMET_CDECL* unsubscribe)(HostWord handle);
    HostWord(SEPMET_CDECL* registerService)(const char* service, HostCallback callback);
    HostWord(SEPMET_CDECL* unregisterService)(HostWord handle);
    // The answer depends on the service; kServiceMissing when it does not exist.
    HostWord(SEPMET_CDECL* callService)(const char* service, HostWord first, HostWord second);
    // Non-zero when the service exists.
    HostWord(SEPMET_CDECL* findService)(const char* service);
};

// Second parameter of "MainMenu/CreateNewMenu".
struct MenuItemRequest {
    std::uint32_t size;     // sizeof(MenuItemRequest)
    const char16_t* path;   // valid only during the call
    std::uint32_t reserved; // 0
    const char* service;    // the command service the menu item calls
};

// The named services and events of the host, as the host offers them and the plug-in calls them.
namespace HostService {
inline constexpr const char* ModulesLoaded = "System/ModulesLoaded"; // event
inline constexpr const char* MenuCommand = "sepmet/MenuCommand";     // the plug-in's own
inline constexpr const char* CreateNewMenu = "MainMenu/CreateNewMenu";
inline constexpr const char* OpenAssayIdDlg = "Main/OpenAssayIdDlgEx";
inline constexpr const char* OpenAssayFile = "Main/OpenAssayFile";
inline constexpr const char* GetConnectionUri = "DB/GetConnectionUri";
inline constexpr const char* ProfileDelParam = "Profile/DelParam";
inline constexpr const char* ProfileGetInt = "Profile/GetInt";
inline constexpr const char* ProfileGetString = "Profile/GetString";
inline constexpr const char* ProfileGetDouble = "Profile/GetDouble";
inline constexpr const char* ProfileSetInt = "Profile/SetInt";
inline constexpr const char* ProfileSetString = "Profile/SetString";
inline constexpr const char* ProfileSetDouble = "Profile/SetDouble";
} // namespace HostService

// The window message (WM_USER + 11) the plug-in posts to the parent of its window's parent after
// its chromatogram list changed.
inline constexpr int kAssayListChangedMessage = 1035;

inline constexpr std::int32_t kAssayIdCapacity = 256;

// First parameter of "Main/OpenAssayIdDlgEx": the host writes the chosen assay identifiers.
struct AssayIdRequest {
    std::int32_t* ids; // caller-owned, kAssayIdCapacity entries, zero-filled before the call
    std::int32_t capacity;
};

inline constexpr std::int32_t kProfileStringCapacity = 256;

// Second parameter of "Profile/GetString": the host writes the text and a NUL.
struct ProfileStringBuffer {
    char16_t* text; // caller-owned, kProfileStringCapacity units, zero-filled before the call
    std::int32_t capacity;
};

#if INTPTR_MAX == INT32_MAX
// The host's 32-bit layout.
static_assert(sizeof(HostWord) == 4);
static_assert(kServiceMissing == static_cast<HostWord>(0x80000000u));

static_assert(sizeof(PluginGuid) == 16);
static_assert(offsetof(PluginInfo, size) == 0);
static_assert(offsetof(PluginInfo, name) == 4);
static_assert(offsetof(PluginInfo, version) == 8);
static_assert(offsetof(PluginInfo, title) == 12);
static_assert(offsetof(PluginInfo, vendor) == 16);
static_assert(offsetof(PluginInfo, email) == 20);
static_assert(offsetof(PluginInfo, copyright) == 24);
static_assert(offsetof(PluginInfo, url) == 28);
static_assert(offsetof(PluginInfo, guid) == 32);
static_assert(sizeof(PluginInfo) == 48);

static_assert(offsetof(HostApi, unused) == 0x00);
static_assert(offsetof(HostApi, subscribe) == 0x0c);
static_assert(offsetof(HostApi, unsubscribe) == 0x10);
static_assert(offsetof(HostApi, registerService) == 0x14);
static_assert(offsetof(HostApi, unregisterService) == 0x18);
static_assert(offsetof(HostApi, callService) == 0x1c);
static_assert(offsetof(HostApi, findService) == 0x20);
static_assert(sizeof(HostApi) == 0x24);

static_assert(offsetof(MenuItemRequest, size) == 0);
static_assert(offsetof(MenuItemRequest, path) == 4);
static_assert(offsetof(MenuItemRequest, reserved) == 8);
static_assert(offsetof(MenuItemRequest, service) == 12);
static_assert(sizeof(MenuItemRequest) == 16);

static_assert(offsetof(AssayIdRequest, ids) == 0);
static_assert(offsetof(AssayIdRequest, capacity) == 4);
static_assert(sizeof(AssayIdRequest) == 8);

static_assert(offsetof(ProfileStringBuffer, text) == 0);
static_assert(offsetof(ProfileStringBuffer, capacity) == 4);
static_assert(sizeof(ProfileStringBuffer) == 8);
#endif

} // namespace sepmet

#endif // SEPMET_PLUGIN_HOST_API_H
