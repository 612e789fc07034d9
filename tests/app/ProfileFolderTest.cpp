// Profile folders: one per running instance, reused by later runs, and a
// way around a folder that cannot be made.
#include "app/ProfileFolder.h"

#include <gtest/gtest.h>

#include <windows.h>


#include <memory>
#include <string>
#include "tests/support/TempFolder.h"

namespace Vornex {
namespace {

// A fresh folder standing in for the executable's, with a trailing backslash.
class ProfileFolderTest : public ::testing::Test {
protected:
    vxtest::TempFolder m_folder{L"vornex-profile-test"};
    const std::wstring m_base = m_folder.Path();
};

TEST_F(ProfileFolderTest, InstancesRunningTogetherGetFoldersOfTheirOwn)
{
    ProfileFolder first, second, third;
    ASSERT_TRUE(first.Claim(m_base));
    ASSERT_TRUE(second.Claim(m_base));
    ASSERT_TRUE(third.Claim(m_base));
    EXPECT_EQ(m_base + L"Cache", first.Path());
    EXPECT_EQ(m_base + L"Cache.2", second.Path());
    EXPECT_EQ(m_base + L"Cache.3", third.Path());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(second.Path().c_str())) << "the folder is made";
}

TEST_F(ProfileFolderTest, AFolderLetGoIsTakenAgainByTheNextRun)
{
    auto first = std::make_unique<ProfileFolder>();
    ProfileFolder second;
    ASSERT_TRUE(first->Claim(m_base));
    ASSERT_TRUE(second.Claim(m_base));
    first.reset();  // that instance has ended
    ProfileFolder next;
    ASSERT_TRUE(next.Claim(m_base));
    EXPECT_EQ(m_base + L"Cache", next.Path()) << "its cookies are still there";
}

TEST_F(ProfileFolderTest, AFileInTheWayOfTheFolderIsSteppedAround)
{
    const std::wstring blocker = m_base + L"Cache";
    HANDLE file = ::CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ::CloseHandle(file);
    ProfileFolder profile;
    ASSERT_TRUE(profile.Claim(m_base));
    EXPECT_EQ(m_base + L"Cache.2", profile.Path());
}

TEST_F(ProfileFolderTest, AFolderThatCannotBeMadeFallsBackToTheUsersOwnData)
{
    // A path below a file can never be a folder.
    const std::wstring blocker = m_base + L"not-a-folder";
    HANDLE file = ::CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ::CloseHandle(file);
    ProfileFolder profile;
    ASSERT_TRUE(profile.Claim(blocker + L"\\"));
    EXPECT_EQ(std::wstring::npos, profile.Path().find(L"not-a-folder")) << profile.Path().c_str();
    EXPECT_NE(std::wstring::npos, profile.Path().find(L"\\Vornex\\Cache")) << profile.Path().c_str();
}

}  // namespace
}  // namespace Vornex
