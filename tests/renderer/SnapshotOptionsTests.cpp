// The snapshot tool's command line and how its settings reach the bars;
// the bars are built without a GL context.
#include <gtest/gtest.h>

#include "FrameBenchmark.h"
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
        {"--camera", "1,2,3,4"}, {"--frobnicate", "1"},     {"--mode"},
        {"--frames", "0"},      {"--frames", "2.5"},        {"--frames", "ten"}, {"--rounds", "0"},
        {"--frames"}};
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

TEST(SnapshotOptions, FramesAreCountedAndTheTableHasItsOwnWindow)
{
    Request timed;
    std::string error;
    ASSERT_TRUE(ParseArguments({"--frames", "40", "--size", "640x480", "--mode", "3"}, timed, error)) << error;
    EXPECT_EQ(timed.frames, 40);
    EXPECT_FALSE(timed.frameTable);
    EXPECT_EQ(timed.width, 640);

    Request table;
    ASSERT_TRUE(ParseArguments({"--size", "320x200", "--frame-table", "--rounds", "5"}, table, error)) << error;
    EXPECT_TRUE(table.frameTable);
    EXPECT_EQ(table.rounds, 5);
    EXPECT_EQ(table.width, 1280);
    EXPECT_EQ(table.height, 1024);
    EXPECT_EQ(table.frames, 100);

    Request shortTable;
    ASSERT_TRUE(ParseArguments({"--frame-table", "--frames", "10"}, shortTable, error)) << error;
    EXPECT_EQ(shortTable.frames, 10);
}

// Every row is reached by bar edits alone, each row setting the switches it
// depends on whatever the row before left.
TEST(SnapshotOptions, EveryRowOfTheStandardTableIsAcceptedByTheBars)
{
    using KorvanaFramework::RendererMode;
    for (const bool cubeOffered : {false, true}) {
        KorvanaFramework::RendererOptions options;
        options.tweakBarsReady = TwInit(TW_OPENGL, nullptr) != 0;
        ASSERT_TRUE(options.tweakBarsReady);
        options.errorViewOffered = true;
        KorvanaFramework::CreateMainBar(options);
        KorvanaFramework::CreateProjectedBar(options);
        KorvanaFramework::CreateVolumeBar(options);
        KorvanaFramework::CreateMappedBar(options);
        KorvanaFramework::OfferCubeMap(options, cubeOffered, KorvanaFramework::LightType::Point);
        KorvanaFramework::OfferFilters(options, true, true);
        const std::vector<Snapshot::TableRow> table = Snapshot::StandardTable(cubeOffered);
        ASSERT_FALSE(table.empty());
        EXPECT_EQ(table.front().name, "0 no shadow");
        int volumeRows = 0, mapRows = 0, fittedRows = 0, cubeRows = 0;
        for (const Snapshot::TableRow& row : table) {
            options.errorView = false;
            for (const Snapshot::Setting& setting : row.settings) {
                std::string error;
                EXPECT_TRUE(ApplySetting(setting, error)) << row.name << ": " << error;
            }
            if (options.rendererMode == RendererMode::Mapping) {
                ++mapRows;
                fittedRows += options.fitFrustum ? 1 : 0;
                cubeRows += options.cubeMap ? 1 : 0;
                EXPECT_EQ(row.name.find("3 map " + std::to_string(options.mapSize) + " "), 0u) << row.name;
                const char* filters[] = {"Brak", "Liniowe", "PCF", "PCSS", "VSM"};
                EXPECT_NE(row.name.find(filters[static_cast<int>(options.filtering)]), std::string::npos) << row.name;
                EXPECT_EQ(row.name.find("fitted") != std::string::npos, options.fitFrustum) << row.name;
                EXPECT_EQ(row.name.find("cube") != std::string::npos, options.cubeMap) << row.name;
            }
            EXPECT_EQ(options.errorView, row.name.find("error view") != std::string::npos) << row.name;
            if (options.rendererMode != RendererMode::Volumes)
                continue;
            ++volumeRows;
            EXPECT_EQ(options.stencilOperation, row.name.find("depth-fail") != std::string::npos ? 1 : 0) << row.name;
            EXPECT_EQ(options.volumeUseDarkening, row.name.find("darkening") != std::string::npos) << row.name;
            EXPECT_EQ(options.drawVolumes, row.name.find("visible") != std::string::npos) << row.name;
        }
        EXPECT_EQ(volumeRows, 6);
        EXPECT_EQ(mapRows, cubeOffered ? 24 : 19);
        EXPECT_EQ(fittedRows, 2);
        EXPECT_EQ(cubeRows, cubeOffered ? 5 : 0);
        EXPECT_EQ(options.rendererMode, RendererMode::Mapping);
        KorvanaFramework::DeleteBars(options);
    }
}
}
