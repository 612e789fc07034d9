// Config.ini: the exit setting read and written, the rest of the file kept,
// and a write that cannot finish leaving the file as it was.
#include "app/AppConfig.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include "tests/support/TempFolder.h"

namespace Vornex {
namespace {

class AppConfigTest : public ::testing::Test {
protected:
    void Put(const std::string& bytes)
    {
        std::ofstream(ConfigPath(m_dir).c_str(), std::ios::binary) << bytes;
    }
    std::string Bytes()
    {
        std::ifstream f(ConfigPath(m_dir).c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    std::wstring Value(const wchar_t* section, const wchar_t* key)
    {
        wchar_t buf[256] = {};
        ::GetPrivateProfileStringW(section, key, L"(none)", buf, 256, ConfigPath(m_dir).c_str());
        return buf;
    }

    vxtest::TempFolder m_folder{L"vornex-config-test"};
    const std::wstring m_dir = m_folder.Path();
};

TEST_F(AppConfigTest, WritingTheSettingKeepsTheRestOfTheFile)
{
    struct Case {
        const char* name;
        const char* before;  // null: no file
    };
    const Case cases[] = {
        {"no file", nullptr},
        {"asking", "[App]\r\nexit=1\r\n"},
        {"other keys and sections", "[Window]\r\nleft=10\r\n[App]\r\ntheme=dark\r\nexit=1\r\n"},
        {"no line end", "[App]\r\nexit=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileW(ConfigPath(m_dir).c_str());
        if (c.before) Put(c.before);
        EXPECT_EQ(ReadExitPrompt(m_dir), 1);
        ASSERT_TRUE(WriteNoExitPrompt(m_dir));
        EXPECT_EQ(ReadExitPrompt(m_dir), 0);
        if (c.before && std::string(c.before).find("theme") != std::string::npos) {
            EXPECT_EQ(Value(L"App", L"theme"), L"dark");
            EXPECT_EQ(Value(L"Window", L"left"), L"10");
        }
        // Nothing of the write is left beside the file.
        EXPECT_EQ(::GetFileAttributesW(PendingConfigPath(m_dir).c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(AppConfigTest, AWriteThatCannotFinishLeavesTheFileAsItWas)
{
    const std::string before = "[App]\r\nexit=1\r\ntheme=dark\r\n";
    Put(before);
    // Something in the way of the new file: the write fails before the old
    // file is touched, as a write cut short by a killed program would.
    ASSERT_TRUE(::CreateDirectoryW(PendingConfigPath(m_dir).c_str(), nullptr));
    EXPECT_FALSE(WriteNoExitPrompt(m_dir));
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(ReadExitPrompt(m_dir), 1);
}

}  // namespace
}  // namespace Vornex
