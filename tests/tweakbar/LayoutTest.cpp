// Bars in windows too small for them: shorter or narrower, never over one
// another or the help bar, and their own size again in a larger window.
#include "TweakBarFixture.h"

#include <vector>

using namespace TweakBarTesting;

namespace
{
std::vector<float> Rect(const std::string& bar)
{
    const auto info = GetBar(bar);
    return {info->left, info->top, info->right, info->bottom};
}

// A tall bar below a short one on the left, a bar docked at the right edge
// and a global help, so that the help bar is shown.
class LayoutTest : public TweakBarTest
{
protected:
    void SetUp() override
    {
        TweakBarTest::SetUp();
        TwNewBar("top");
        TwNewBar("tall");
        TwNewBar("docked");
        ASSERT_EQ(TwDefine("top position='16 16' size='350 130'"), 1);
        ASSERT_EQ(TwDefine("tall position='16 182' size='350 540'"), 1);
        ASSERT_EQ(TwDefine("docked position='2000 16' size='360 200' valueswidth=160"), 1);
        ASSERT_EQ(TwDefine("GLOBAL help='Pomoc programu'"), 1);
    }
};
}

TEST_F(LayoutTest, ALargeWindowLeavesEveryBarAsAskedFor)
{
    TwWindowSize(1280, 1024);
    Frames(2);
    EXPECT_EQ(Rect("top"), (std::vector<float>{16, 16, 366, 146}));
    EXPECT_EQ(Rect("tall"), (std::vector<float>{16, 182, 366, 722}));
    EXPECT_EQ(Rect("docked"), (std::vector<float>{920, 16, 1280, 216}));
    ASSERT_TRUE(HelpBarRectangle().has_value());
    EXPECT_LE(Rect("tall")[3], (*HelpBarRectangle())[1]);
}

TEST_F(LayoutTest, ALowWindowShortensTheBarAboveTheHelpBar)
{
    TwWindowSize(800, 600);
    Frames(2);
    const auto help = HelpBarRectangle();
    ASSERT_TRUE(help.has_value());
    const std::vector<float> tall = Rect("tall");
    EXPECT_EQ(tall[1], 182);
    EXPECT_LT(tall[3], (*help)[1]);
    EXPECT_GT(tall[3], (*help)[1] - 10) << "only as much shorter as the help bar needs";
    EXPECT_EQ(GetBar("tall")->height, 540) << "the bar's own height is kept";

    // Without any help there is no help bar to keep clear of.
    TwDefine("GLOBAL help=''");
    TwWindowSize(800, 601);
    Frames(1);
    EXPECT_FALSE(HelpBarRectangle().has_value());
    EXPECT_EQ(Rect("tall")[3], 601);

    // The window's own size again gives the bar back its height.
    TwWindowSize(1280, 1024);
    Frames(1);
    EXPECT_EQ(Rect("tall")[3], 722);
}

TEST_F(LayoutTest, ANarrowWindowNarrowsTheDockedBarBesideTheOthers)
{
    TwWindowSize(640, 480);
    Frames(2);
    const std::vector<float> docked = Rect("docked");
    EXPECT_EQ(docked[2], 640);
    EXPECT_GE(docked[0], 366) << "clear of the bar on the left";
    EXPECT_EQ(GetBar("docked")->width, 360);

    // Beside hidden bars it takes its own width.
    TwDefine("top visible=false");
    TwDefine("tall visible=false");
    TwWindowSize(641, 480);
    Frames(1);
    EXPECT_EQ(Rect("docked")[0], 641 - 360);

    // Where even its values would not fit beside the others, it keeps them.
    TwDefine("top visible=true");
    TwWindowSize(420, 480);
    Frames(1);
    EXPECT_EQ(Rect("docked")[2] - Rect("docked")[0], 160 + 60);

    TwWindowSize(1024, 768);
    Frames(1);
    EXPECT_EQ(Rect("docked"), (std::vector<float>{1024 - 360, 16, 1024, 216}));
}
