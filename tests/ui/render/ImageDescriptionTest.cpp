// The reader of skin image descriptions, portable: what each item sets, the
// saturation of hostile numbers, and the images a description lists.
#include "ui/render/ImageDescription.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

const RECT kItem = {100, 50, 300, 150};

ImageDescription Read(LPCTSTR text, std::vector<std::wstring>* finished = nullptr)
{
    ImageDescription d;
    d.dest = kItem;
    ReadImageDescription(text, kItem, d, [&](const ImageDescription& done) {
        if (finished) finished->push_back(done.name.GetData());
    });
    return d;
}

}  // namespace

TEST(ImageDescriptionTest, ItemsSetTheirFields)
{
    const ImageDescription d = Read(L"file='btn.png' restype='PNG' dest='10,5,60,25' source='0,0,50,20' "
                                    L"corner='2,3,4,5' mask='#FFFF00FF' fade='128' hole='true' xtiled='true'");
    EXPECT_STREQ(d.name.GetData(), L"btn.png");
    EXPECT_STREQ(d.type.GetData(), L"PNG");
    EXPECT_EQ(d.dest.left, 110);
    EXPECT_EQ(d.dest.top, 55);
    EXPECT_EQ(d.dest.right, 160);
    EXPECT_EQ(d.dest.bottom, 75);
    EXPECT_EQ(d.source.right, 50);
    EXPECT_EQ(d.corners.bottom, 5);
    EXPECT_EQ(d.mask, 0xFFFF00FFu);
    EXPECT_EQ(d.fade, 128);
    EXPECT_TRUE(d.hole);
    EXPECT_TRUE(d.xtiled);
    EXPECT_FALSE(d.ytiled);
}

TEST(ImageDescriptionTest, HostileNumbersSaturateAndStayInsideTheItem)
{
    const struct {
        const wchar_t* text;
        RECT dest;
        int fade;
    } cases[] = {
        {L"dest='0,0,99999999999,99999999999'", {100, 50, 300, 150}, 255},
        {L"dest='2147483647,2147483647,2147483647,2147483647'", {INT_MAX, INT_MAX, 300, 150}, 255},
        {L"dest='-2147483648,-2147483648,-5,-5'", {INT_MIN + 100, INT_MIN + 50, 95, 45}, 255},
        {L"fade='300'", {100, 50, 300, 150}, 255},
        {L"fade='-7'", {100, 50, 300, 150}, 0},
        {L"fade='x'", {100, 50, 300, 150}, 0},
    };
    for (const auto& c : cases) {
        const ImageDescription d = Read(c.text);
        EXPECT_EQ(d.dest.left, c.dest.left) << c.text;
        EXPECT_EQ(d.dest.top, c.dest.top) << c.text;
        EXPECT_EQ(d.dest.right, c.dest.right) << c.text;
        EXPECT_EQ(d.dest.bottom, c.dest.bottom) << c.text;
        EXPECT_EQ(d.fade, c.fade) << c.text;
    }
}

TEST(ImageDescriptionTest, AFurtherFileStartsAnotherImageThatKeepsTheSettings)
{
    std::vector<std::wstring> finished;
    const ImageDescription d = Read(L"file='a.png' fade='10' file='b.png' res='c' restype='PNG'", &finished);
    EXPECT_EQ(finished, (std::vector<std::wstring>{L"a.png", L"b.png", L"c"}));
    EXPECT_STREQ(d.name.GetData(), L"c");
    EXPECT_EQ(d.fade, 10);
    // Empty values change nothing, and a malformed item ends the reading.
    const ImageDescription e = Read(L"file='a.png' fade='' fade '5' dest='1,1,2,2'");
    EXPECT_EQ(e.fade, 255);
    EXPECT_EQ(e.dest.left, kItem.left);
}
