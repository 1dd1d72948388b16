// The version resources of sepmet.dll and sepmet-batch.exe as Windows reads them: the project's
// version, one set of texts, each file its own description and name. Windows only.

#include "resources/version.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

struct VersionResource {
    VS_FIXEDFILEINFO fixed{};
    std::vector<BYTE> data;

    std::wstring Text(const wchar_t* name) const {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\041904B0\\") + name;
        if (!VerQueryValueW(data.data(), key.c_str(), &value, &length) || !value)
            return L"(none)";
        return std::wstring(static_cast<const wchar_t*>(value));
    }
};

// The resource of a file the build wrote (a Linux path, Z: under Wine).
VersionResource Read(const std::string& unixPath) {
    const std::wstring path = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
    VersionResource resource;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    EXPECT_NE(size, 0u) << unixPath << " has no version resource";
    if (size == 0)
        return resource;
    resource.data.resize(size);
    EXPECT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, resource.data.data()));
    void* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(resource.data.data(), L"\\", &fixed, &length) &&
        length >= sizeof(VS_FIXEDFILEINFO))
        resource.fixed = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
    return resource;
}

TEST(VersionResource, TheDllAndTheBatchProgramCarryTheProjectsVersionAndTexts) {
    const std::wstring version(sepmet::kVersionText,
                               sepmet::kVersionText +
                                   std::char_traits<char>::length(sepmet::kVersionText));
    const DWORD ms =
        ((sepmet::kVersionNumber >> 24) << 16) | ((sepmet::kVersionNumber >> 16) & 0xFF);
    const DWORD ls =
        (((sepmet::kVersionNumber >> 8) & 0xFF) << 16) | (sepmet::kVersionNumber & 0xFF);
    const struct {
        const char* path;
        DWORD type;
        const wchar_t* description;
        const wchar_t* internalName;
        const wchar_t* fileName;
    } files[] = {
        {SEPMET_MODULE_PATH, VFT_DLL, L"sepmet: Метанол в газе сепарации", L"sepmet",
         L"sepmet.dll"},
        {SEPMET_BATCH_EXE, VFT_APP, L"sepmet-batch: расчёт метанола в газе сепарации без окна",
         L"sepmet-batch", L"sepmet-batch.exe"},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.path);
        const VersionResource resource = Read(file.path);
        EXPECT_EQ(resource.fixed.dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(resource.fixed.dwFileVersionMS, ms);
        EXPECT_EQ(resource.fixed.dwFileVersionLS, ls);
        EXPECT_EQ(resource.fixed.dwProductVersionMS, ms);
        EXPECT_EQ(resource.fixed.dwProductVersionLS, ls);
        EXPECT_EQ(resource.fixed.dwFileType, file.type);
        EXPECT_EQ(resource.Text(L"FileVersion"), version);
        EXPECT_EQ(resource.Text(L"ProductVersion"), version);
        EXPECT_EQ(resource.Text(L"FileDescription"), file.description);
        EXPECT_EQ(resource.Text(L"InternalName"), file.internalName);
        EXPECT_EQ(resource.Text(L"OriginalFilename"), file.fileName);
        EXPECT_EQ(resource.Text(L"CompanyName"), L"Разработчики sepmet");
        EXPECT_EQ(resource.Text(L"LegalCopyright"), L"© 2026 Разработчики sepmet");
        EXPECT_EQ(resource.Text(L"ProductName"), L"sepmet");
    }
}

} // namespace
