// The skin travels inside the executable: resource "DAT" 130 is a ZIP archive
// with the two markup documents and their images, next to the manifest and
// the icon groups 107 and 108. These tests read the resources of their own
// executable, which links the same resource object as the program.

#include "ui/markup/ZipArchive.h"

#include "VornexDeployment.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace {

using SkinUI::ZipArchive;
using SkinUI::ZipEntryInfo;

const WORD kSkinResourceId = 130;

using ArchivePtr = std::unique_ptr<ZipArchive>;

// The locked resource stays valid for the life of the module.
std::pair<const void*, DWORD> LockResourceBytes(LPCWSTR name, LPCWSTR type)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name, type);
    if (!found) return {nullptr, 0};
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return {nullptr, 0};
    return {LockResource(loaded), SizeofResource(module, found)};
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

class SkinArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto skin = LockResourceBytes(MAKEINTRESOURCEW(kSkinResourceId), L"DAT");
        ASSERT_NE(skin.first, nullptr) << "no resource DAT 130 in the executable";
        ASSERT_GT(skin.second, 0u);
        archive_ = ZipArchive::OpenMemory(skin.first, skin.second);
        ASSERT_NE(archive_, nullptr) << "resource DAT 130 is not a readable ZIP archive";
    }

    bool Contains(const std::string& name)
    {
        int index = -1;
        ZipEntryInfo info{};
        return archive_->FindEntry(Wide(name).c_str(), index, info) == SkinUI::ZIP_RESULT_OK;
    }

    // The entry's bytes; fails the test when the entry is missing or does
    // not unpack to its recorded size.
    std::string Extract(const std::string& name, ZipEntryInfo* entry = nullptr)
    {
        int index = -1;
        ZipEntryInfo local{};
        ZipEntryInfo& info = entry ? *entry : local;
        if (archive_->FindEntry(Wide(name).c_str(), index, info) != SkinUI::ZIP_RESULT_OK) {
            ADD_FAILURE() << name << " is not in the skin archive";
            return {};
        }
        std::string bytes(static_cast<size_t>(info.uncompressedSize), '\0');
        unsigned result = archive_->ExtractToMemory(index, &bytes[0], bytes.size());
        if (result != SkinUI::ZIP_RESULT_OK && result != SkinUI::ZIP_RESULT_MORE) {
            ADD_FAILURE() << name << " does not unpack (code " << result << ")";
            return {};
        }
        return bytes;
    }

    ArchivePtr archive_;
};

struct ImageCase {
    const char* name;
    int width;
    int height;
};

// Each image at the size the skins place it at: the logo in a 24x24 label,
// the home and contact icons at dest 0,6,18,24, the title-bar buttons at
// 28x30, the dialog's buttons at 72x26, the check box at dest 0,2,16,18,
// the loading panel's rocket in its 223x207 label.
// The shadow is a nine-grid with corners 10,10,10,11, so it needs more than
// 20x21 pixels; its size is otherwise free.
const ImageCase kImages[] = {
    {"logo.png", 24, 24},
    {"home.png", 18, 18},
    {"call.png", 18, 18},
    {"btn_close_nor.png", 28, 30},
    {"btn_close_hot.png", 28, 30},
    {"btn_close_down.png", 28, 30},
    {"btn_max_nor.png", 28, 30},
    {"btn_max_hot.png", 28, 30},
    {"btn_max_down.png", 28, 30},
    {"btn_min_nor.png", 28, 30},
    {"btn_min_hot.png", 28, 30},
    {"btn_min_down.png", 28, 30},
    {"btn_restore_nor.png", 28, 30},
    {"btn_restore_hot.png", 28, 30},
    {"btn_restore_down.png", 28, 30},
    {"blue_nor.png", 72, 26},
    {"blue_hot.png", 72, 26},
    {"blue_down.png", 72, 26},
    {"cb_nor.png", 16, 16},
    {"cb_sel.png", 16, 16},
    {"rocket.png", 223, 207},
};

// Names the skins mention that the archive deliberately lacks: they draw
// nothing, and must not start drawing something by accident.
const char* const kAbsent[] = {
    "scroll.png",       "btn_setting_nor.png", "btn_setting_hot.png", "btn_setting_down.png",
    "btn_skin_nor.png", "btn_skin_hot.png",    "btn_skin_down.png",
};

TEST_F(SkinArchiveTest, ImagesDecodeAtTheSizesTheSkinsPlaceThemAt)
{
    for (const ImageCase& image : kImages) {
        SCOPED_TRACE(image.name);
        std::string png = Extract(image.name);
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                                static_cast<int>(png.size()), &width, &height, &channels, 4);
        ASSERT_NE(pixels, nullptr) << "not a decodable PNG";
        stbi_image_free(pixels);
        EXPECT_EQ(width, image.width);
        EXPECT_EQ(height, image.height);
    }
}

// The larger pictures for 150 % and 200 % displays are used only when they
// have exactly the scaled size (else the window resizes the 100 % one).
TEST_F(SkinArchiveTest, EachImageAlsoComesAt150And200PercentOfItsSize)
{
    const struct {
        const char* suffix;
        int percent;
    } variants[] = {{"@1.5x", 150}, {"@2x", 200}};
    for (const ImageCase& image : kImages) {
        for (const auto& variant : variants) {
            std::string name(image.name);
            name.insert(name.rfind('.'), variant.suffix);
            SCOPED_TRACE(name);
            std::string png = Extract(name);
            int width = 0, height = 0, channels = 0;
            ASSERT_TRUE(stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                              static_cast<int>(png.size()), &width, &height, &channels));
            // Rounded half up, as the window rounds a scaled size.
            EXPECT_EQ(width, (image.width * variant.percent + 50) / 100);
            EXPECT_EQ(height, (image.height * variant.percent + 50) / 100);
        }
    }
}

TEST_F(SkinArchiveTest, ShadowFadesToNothingAtItsEdgeAndFitsItsCorners)
{
    std::string png = Extract("Aero.png");
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()), static_cast<int>(png.size()),
                                            &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    std::unique_ptr<stbi_uc, void (*)(void*)> owner(pixels, stbi_image_free);
    ASSERT_GT(width, 10 + 10);
    ASSERT_GT(height, 10 + 11);
    auto alpha = [&](int x, int y) { return pixels[(y * width + x) * 4 + 3]; };
    // A hard outer edge would draw a visible frame around the windows.
    for (int x = 0; x < width; ++x) {
        EXPECT_EQ(alpha(x, 0), 0) << "top edge, x " << x;
        EXPECT_EQ(alpha(x, height - 1), 0) << "bottom edge, x " << x;
    }
    for (int y = 0; y < height; ++y) {
        EXPECT_EQ(alpha(0, y), 0) << "left edge, y " << y;
        EXPECT_EQ(alpha(width - 1, y), 0) << "right edge, y " << y;
    }
    // ...and the shadow darkens towards the window: a soft ramp, not a step.
    int middle = height / 2;
    EXPECT_LT(alpha(1, middle), alpha(3, middle));
    EXPECT_LT(alpha(3, middle), alpha(width / 2, middle));
}

// At 150 % and 200 % the bar is drawn from its larger animations as they
// are: they must have exactly the scaled size and every frame.
TEST_F(SkinArchiveTest, TheLoadingBarIsAnAnimationOfTheSizeTheSkinGivesItAtEachDensity)
{
    const struct {
        const char* name;
        int width, height;
    } animations[] = {{"loading.gif", 200, 9}, {"loading@1.5x.gif", 300, 14}, {"loading@2x.gif", 400, 18}};
    int framesAt100 = 0;
    for (const auto& animation : animations) {
        SCOPED_TRACE(animation.name);
        std::string gif = Extract(animation.name);
        int* delays = nullptr;
        int width = 0, height = 0, frames = 0, channels = 0;
        stbi_uc* pixels = stbi_load_gif_from_memory(reinterpret_cast<const stbi_uc*>(gif.data()),
                                                    static_cast<int>(gif.size()), &delays, &width, &height, &frames,
                                                    &channels, 4);
        ASSERT_NE(pixels, nullptr) << "not a decodable GIF";
        stbi_image_free(pixels);
        stbi_image_free(delays);
        EXPECT_EQ(width, animation.width);
        EXPECT_EQ(height, animation.height);
        EXPECT_GT(frames, 1);
        if (framesAt100 == 0) framesAt100 = frames;
        EXPECT_EQ(frames, framesAt100);
    }
}

TEST_F(SkinArchiveTest, NamesTheArchiveLacksStayAbsent)
{
    for (const char* name : kAbsent) EXPECT_FALSE(Contains(name)) << name;
}

TEST_F(SkinArchiveTest, EveryImageTheDocumentsNameIsShippedOrKnownAbsent)
{
    std::set<std::string> known(std::begin(kAbsent), std::end(kAbsent));
    known.insert("Aero.png");
    known.insert("loading.gif");
    for (const ImageCase& image : kImages) known.insert(image.name);

    const std::regex imageName(R"([A-Za-z0-9_]+\.(png|gif|jpg|bmp))");
    std::set<std::string> named;
    for (const char* document : {"MainWnd.xml", "ExitWnd.xml"}) {
        std::string text = Extract(document);
        for (std::sregex_iterator it(text.begin(), text.end(), imageName), end; it != end; ++it)
            named.insert(it->str());
    }
    EXPECT_FALSE(named.empty());
    for (const std::string& name : named)
        EXPECT_TRUE(known.count(name)) << name << " is named by a skin document but neither shipped nor known absent";
}

TEST_F(SkinArchiveTest, DocumentsAreUtf8WithByteOrderMarkAndCrlfLines)
{
    for (const char* document : {"MainWnd.xml", "ExitWnd.xml"}) {
        SCOPED_TRACE(document);
        ZipEntryInfo info{};
        std::string text = Extract(document, &info);
        ASSERT_GE(text.size(), 8u);
        EXPECT_LT(info.compressedSize, info.uncompressedSize) << "markup is stored, not deflated";
        EXPECT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0) << "no UTF-8 byte-order mark";
        EXPECT_EQ(text.compare(3, 5, "<?xml"), 0) << "no XML declaration";
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
            ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "bare line feed at byte " << at;
        // A placeholder left unfilled would reach the browser as an address.
        EXPECT_EQ(text.find("@VORNEX_"), std::string::npos);
    }
}

// The start page is a deployment value, filled in when the skin is packed.
TEST_F(SkinArchiveTest, MainWindowBrowserOpensTheDeploymentStartPage)
{
    std::string text = Extract("MainWnd.xml");
    const std::string prefix = "<CefWeb name=\"web1\" url=\"";
    size_t start = text.find(prefix);
    ASSERT_NE(start, std::string::npos);
    start += prefix.size();
    size_t end = text.find('"', start);
    ASSERT_NE(end, std::string::npos);
    std::string value = text.substr(start, end - start);

    const std::pair<const char*, char> entities[] = {
        {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}};
    std::string decoded;
    for (size_t i = 0; i < value.size();) {
        bool replaced = false;
        for (const auto& entity : entities) {
            size_t length = std::char_traits<char>::length(entity.first);
            if (value.compare(i, length, entity.first) == 0) {
                decoded += entity.second;
                i += length;
                replaced = true;
                break;
            }
        }
        if (!replaced) decoded += value[i++];
    }
    EXPECT_EQ(decoded, VORNEX_START_URL);
}

TEST(ExecutableResourcesTest, IconGroupsLoadAtTheSizesWindowsAsk)
{
    HMODULE module = GetModuleHandleW(nullptr);
    for (WORD id : {107, 108}) {
        for (int size : {16, 32, 48}) {
            SCOPED_TRACE(testing::Message() << "icon " << id << " at " << size);
            HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
            ASSERT_NE(icon, nullptr);
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(icon, &info));
            BITMAP colour{};
            ASSERT_NE(info.hbmColor, nullptr);
            GetObjectW(info.hbmColor, sizeof colour, &colour);
            EXPECT_EQ(colour.bmWidth, size);
            EXPECT_EQ(colour.bmHeight, size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(icon);
        }
    }
}

TEST(ExecutableResourcesTest, ManifestAsksForAdministratorAndCommonControls6)
{
    auto manifest = LockResourceBytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(manifest.first, nullptr);
    std::string text(static_cast<const char*>(manifest.first), manifest.second);
    EXPECT_NE(text.find("level=\"requireAdministrator\" uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

// The system reads the awareness from the manifest before the program runs:
// a process started from this executable is per-monitor aware, so nothing
// of it is stretched as a bitmap.
TEST(ExecutableResourcesTest, ManifestMakesTheProcessPerMonitorDpiAware)
{
    auto manifest = LockResourceBytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest.first, nullptr);
    std::string text(static_cast<const char*>(manifest.first), manifest.second);
    EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(text.find(">PerMonitorV2,PerMonitor</dpiAwareness>"), std::string::npos);

    typedef HANDLE(WINAPI * ThreadContextFn)();
    typedef int(WINAPI * AwarenessFn)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto threadContext = reinterpret_cast<ThreadContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    auto awareness = reinterpret_cast<AwarenessFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (!threadContext || !awareness) GTEST_SKIP() << "the system has no awareness contexts";
    const int kPerMonitorAware = 2;
    EXPECT_EQ(awareness(threadContext()), kPerMonitorAware);
}

}  // namespace
