// Folders and files made for one user's records: only that user may reach them, whatever the
// umask (Linux) or the permissions of the folder above (Windows).

#include "platform/private_folders.h"
#include "tests/support/temporary_folder.h"
#include "tests/support/wine.h"

#include <filesystem>
#include <gtest/gtest.h>
#if defined(_WIN32)
#include "platform/utf.h"

// clang-format off
#include <windows.h> // first: the security headers need its types
#include <aclapi.h>
// clang-format on
#else
#include <sys/stat.h>
#endif

namespace sepmet {
namespace {

#if defined(_WIN32)
// The access list of `path`: whether it is protected from inheritance, and its entries as
// (allowed, whether the entry names the process's user, access mask).
struct Access {
    bool isProtected = false;
    std::vector<std::tuple<bool, bool, DWORD>> entries;
};

Access AccessOf(const std::string& path) {
    Access access;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::u16string wide = FromUtf8(path);
    if (GetNamedSecurityInfoW(reinterpret_cast<const wchar_t*>(wide.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return access;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    access.isProtected = (control & SE_DACL_PROTECTED) != 0;
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    char buffer[256];
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    PSID user = reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry))
            continue;
        const auto* header = static_cast<ACE_HEADER*>(entry);
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        access.entries.emplace_back(header->AceType == ACCESS_ALLOWED_ACE_TYPE,
                                    EqualSid(const_cast<DWORD*>(&allowed->SidStart), user),
                                    allowed->Mask);
    }
    LocalFree(descriptor);
    return access;
}
#endif

TEST(PrivateFolders, MadeFoldersAndTheFileAreTheUsersAloneAndExistingOnesAreKept) {
    testing::TemporaryFolder folder;
    const std::string made = folder.File("a/b");
    ASSERT_EQ(CreatePrivateFolders(made), "");
    ASSERT_EQ(CreatePrivateFolders(made), ""); // already there
    const std::string file = made + "/trail.sqlite";
    ASSERT_EQ(CreatePrivateFile(file), "");
    EXPECT_EQ(CreatePrivateFile(file), ""); // an existing file is left as it is
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    EXPECT_NE(CreatePrivateFile(folder.File("missing/trail.sqlite")), "");
#if defined(_WIN32)
    if (testing::RunningUnderWine())
        GTEST_SKIP() << "Wine keeps no security descriptor a folder or file is created with: it "
                        "answers one made from the Unix modes";
    for (const std::string& path : {folder.File("a"), made, file}) {
        SCOPED_TRACE(path);
        const Access access = AccessOf(path);
        EXPECT_TRUE(access.isProtected);
        ASSERT_EQ(access.entries.size(), 1u);
        EXPECT_EQ(access.entries[0], std::make_tuple(true, true, DWORD{FILE_ALL_ACCESS}));
    }
    EXPECT_FALSE(AccessOf(folder.Path()).isProtected); // the folder that was there is unchanged
#else
    for (const auto& [path, mode] :
         {std::pair{folder.File("a"), 0700}, {made, 0700}, {file, 0600}}) {
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0) << path;
        EXPECT_EQ(info.st_mode & 0777, static_cast<unsigned>(mode)) << path;
    }
#endif
}

} // namespace
} // namespace sepmet
