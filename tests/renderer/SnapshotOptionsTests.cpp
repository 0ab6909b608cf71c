// The snapshot tool's command line and how its settings reach the bars;
// the bars are built without a GL context.
#include <gtest/gtest.h>

#include "Renderer.h"
#include "SnapshotOptions.h"
#include "TweakBars.h"

namespace
{
using Snapshot::ApplySetting;
using Snapshot::ParseArguments;
using Snapshot::Request;

TEST(SnapshotOptions, OptionsBecomeBarSettingsInTheirOrder)
{
    Request request;
    std::string error;
    ASSERT_TRUE(ParseArguments({"--light", "spot", "--mode", "2", "--light-position", "1,2.5,-3", "--set",
                                "volume/drawVolumes=Wlaczone", "--press", "light/enabled", "--size", "320x200",
                                "--camera", "10,20,5,1,-1", "-o", "x.png"},
                               request, error))
        << error;
    ASSERT_EQ(request.settings.size(), 7u);
    EXPECT_EQ(request.settings[0].path, "light/lightType");
    EXPECT_EQ(request.settings[0].value, "Reflektor");
    EXPECT_EQ(request.settings[1].path, "main/rederingMode");
    EXPECT_EQ(request.settings[3].path, "light/position/y");
    EXPECT_EQ(std::stod(request.settings[3].value), 2.5);
    EXPECT_EQ(request.settings[5].value, "Wlaczone");
    EXPECT_TRUE(request.settings[6].press);
    EXPECT_EQ(request.width, 320);
    EXPECT_EQ(request.height, 200);
    EXPECT_TRUE(request.moveCamera);
    EXPECT_EQ(request.distance, 5.0f);
    EXPECT_EQ(request.panY, -1.0f);
    EXPECT_EQ(request.output, "x.png");
}

TEST(SnapshotOptions, MalformedArgumentsAreRefusedWithAReason)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--mode", "4"},        {"--mode", "two"},          {"--light", "lamp"}, {"--light-position", "1,2"},
        {"--set", "=1"},        {"--set", "main/x"},        {"--size", "0x10"},  {"--size", "100"},
        {"--camera", "1,2,3,4"}, {"--frobnicate", "1"},     {"--mode"}};
    for (const auto& arguments : bad) {
        Request request;
        std::string error;
        EXPECT_FALSE(ParseArguments(arguments, request, error)) << arguments[0];
        EXPECT_FALSE(error.empty()) << arguments[0];
    }
}

TEST(SnapshotOptions, SettingsGoThroughTheBarsAsEdits)
{
    KorvanaFramework::RendererOptions options;
    options.tweakBarsReady = TwInit(TW_OPENGL, nullptr) != 0;
    ASSERT_TRUE(options.tweakBarsReady);
    KorvanaFramework::CreateMainBar(options);
    KorvanaFramework::CreateVolumeBar(options);
    std::string error;
    EXPECT_TRUE(ApplySetting({"main/rederingMode", "2"}, error)) << error;
    EXPECT_EQ(options.rendererMode, KorvanaFramework::RendererMode::Volumes);
    EXPECT_TRUE(ApplySetting({"volume/stencilOperation", "Depth-Fail"}, error)) << error;
    EXPECT_EQ(options.stencilOperation, 1);
    EXPECT_TRUE(ApplySetting({"main/backgroundColor", "0.5,0.25,1"}, error)) << error;
    EXPECT_EQ(options.backgroundColor, (KorvanaFramework::Vec3{0.5f, 0.25f, 1.0f}));

    EXPECT_FALSE(ApplySetting({"volume/volumeLenght", "5"}, error)) << "hidden while volumes are infinite";
    EXPECT_NE(error.find("volume/volumeLenght"), std::string::npos);
    EXPECT_FALSE(ApplySetting({"main/nothing", "1"}, error));
    EXPECT_FALSE(ApplySetting({"main/rederingMode", "Cienie"}, error));
    EXPECT_FALSE(ApplySetting({"light/enabled", "", true}, error));
    KorvanaFramework::DeleteBars(options);
}
}
