// The program's own bar builders run against the tweak-bar library, without
// a window: every definition must be taken, the bars and rows must start as
// the program shows them, and each row must edit the option it names.
#include "Light.h"
#include "Renderer.h"
#include "TweakBars.h"

#include "tweakbar/TweakBarTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace
{
using namespace TweakBarTesting;
using namespace KorvanaFramework;

// The library started and the five bars built as InitGL builds them.
class ProgramBarsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        TwGetLastError();
        options.tweakBarsReady = TwInit(TW_OPENGL, nullptr) != 0;
        ASSERT_TRUE(options.tweakBarsReady);
        BuildAll();
    }

    void TearDown() override { DeleteBars(options); }

    void BuildAll()
    {
        CreateMainBar(options);
        CreateProjectedBar(options);
        CreateVolumeBar(options);
        CreateMappedBar(options);
        CreateLightBar(options, light);
    }

    // True when `expected` appear among the rows of the bar or group in this
    // order (other rows may stand between them).
    static bool RowsInOrder(const std::string& path, const std::vector<std::string>& expected)
    {
        const std::vector<std::string> rows = RowNames(path);
        auto next = rows.begin();
        for (const std::string& name : expected) {
            next = std::find(next, rows.end(), name);
            if (next == rows.end())
                return false;
            ++next;
        }
        return true;
    }

    RendererOptions options;
    Light light;
};

TEST_F(ProgramBarsTest, EveryDefinitionIsTaken)
{
    const char* error = TwGetLastError();
    EXPECT_EQ(error, nullptr) << error;
    for (TwBar* bar : {options.mainBar, options.projectedBar, options.volumeBar, options.mappedBar,
                       options.lightBar})
        EXPECT_NE(bar, nullptr);
    EXPECT_EQ(options.barLight, &light);
    EXPECT_FALSE(GlobalHelp().empty());
}

// Building again replaces each bar instead of failing on a taken name.
TEST_F(ProgramBarsTest, BuildingAgainReplacesTheBars)
{
    options.volumeLenght = 7.0f;
    BuildAll();
    const char* error = TwGetLastError();
    EXPECT_EQ(error, nullptr) << error;
    EXPECT_EQ(options.volumeLenght, 100.0f);
    for (const char* bar : {"main", "volume", "light"}) {
        const std::vector<std::string> rows = RowNames(bar);
        EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()).size(), rows.size()) << bar << ": a row twice";
    }
}

TEST_F(ProgramBarsTest, BarsStartWhereAndHowTheProgramPutsThem)
{
    struct Expected {
        const char* name;
        const char* label;
        int width, height, x, y, valuesWidth;
        bool visible;
    };
    const Expected bars[] = {
        {"main", "Okno glowne", 350, 160, 16, 16, 120, true},
        {"projected", "Opcje rzutowania cieni", 350, 130, 2000, 16, 160, false},
        {"volume", "Opcje cieni objetosciowych", 360, 200, 2000, 16, 160, false},
        {"mapped", "Opcje mapowania cieni", 350, 330, 2000, 16, 160, false},
        {"light", "Swiatlo", 350, 540, 16, 182, 180, true},
    };
    for (const Expected& expected : bars) {
        const auto bar = GetBar(expected.name);
        ASSERT_TRUE(bar.has_value()) << expected.name;
        EXPECT_EQ(bar->label, expected.label);
        EXPECT_EQ(bar->width, expected.width) << expected.name;
        EXPECT_EQ(bar->height, expected.height) << expected.name;
        EXPECT_EQ(bar->valuesWidth, expected.valuesWidth) << expected.name;
        EXPECT_EQ(bar->visible, expected.visible) << expected.name;
        EXPECT_EQ(bar->x, expected.x) << expected.name;
        EXPECT_EQ(bar->y, expected.y) << expected.name;
        if (std::string(expected.name) != "light") {
            EXPECT_EQ(bar->alpha, 64) << expected.name;
            EXPECT_EQ(bar->color[1], 141) << expected.name;
        }
    }
    EXPECT_LT(GetBar("main")->y + GetBar("main")->height, GetBar("light")->y);
}

TEST_F(ProgramBarsTest, RowsAreLabelledGroupedAndHiddenAsShown)
{
    struct Expected {
        const char* path;
        const char* type;  // empty for buttons and groups
        const char* label;
        const char* group;
        bool visible;
    };
    const Expected rows[] = {
        {"main/rederingMode", "rendererMode", "Metoda rysowania cieni", "", true},
        {"main/backgroundColor", "color3f", "Kolor tla", "", true},
        {"main/frameTime", "float", "Czas klatki [ms]", "", true},
        {"main/framesPerSecond", "float", "Klatki na sekunde", "", true},
        {"projected/drawObjects", "bool", "Rysowanie obiektow", "", true},
        {"projected/polygonOffset", "float", "Przesuniecie z-bufora", "", true},
        {"projected/useDarkening", "bool", "Wl/Wyl", "Przyciemnianie", true},
        {"projected/darkeningFactor", "float", "Wspolczynnik", "Przyciemnianie", false},
        {"projected/darkeningStencil", "bool", "Bufor szablonowy", "Przyciemnianie", false},
        {"volume/stencilOperation", "stencilModeT", "Typ operacji na szablonie", "", true},
        {"volume/infiniteFrustum", "bool", "Nieskonczona frusta", "", true},
        {"volume/drawVolumes", "bool", "Rysowanie bryl cieni", "", true},
        {"volume/infiniteVolume", "bool", "Nieskonczonie dlugie bryly", "Rodzaj bryl", true},
        {"volume/volumeLenght", "float", "Dlugosc bryl", "Rodzaj bryl", false},
        {"volume/useDarkening", "bool", "Wl/Wyl", "Szybkie przyciemnianie", true},
        {"volume/darkeningFactor", "float", "Poziom przyciemniania", "Szybkie przyciemnianie", false},
        {"mapped/polygonOffset", "float", "Przesuniecie z-bufora", "", true},
        {"mapped/showFrustum", "bool", "Pokaz fruste", "Rendering mapy cieni", true},
        {"mapped/near", "float", "Blizsza plaszczyzna", "Rendering mapy cieni", true},
        {"mapped/far", "float", "Dalsza plaszczyzna", "Rendering mapy cieni", true},
        {"mapped/orthoSize", "float", "Szerokosc cienia", "Rendering mapy cieni", true},
        {"mapped/orthoOffset", "float", "Cofniecie rzutowania", "Rendering mapy cieni", true},
        {"mapped/mapSize", "mapSizeT", "Rozdzielczosc mapy", "Rendering mapy cieni", true},
        {"mapped/filtering", "mapFilteringT", "Filtrowanie", "Rendering mapy cieni", true},
        {"mapped/lightSize", "float", "Rozmiar swiatla", "Rendering mapy cieni", false},
        {"mapped/blur", "int32", "Rozmycie", "Rendering mapy cieni", false},
        {"mapped/bleedingReduction", "float", "Redukcja przeciekow", "Rendering mapy cieni", false},
        {"mapped/fitFrustum", "bool", "Dopasowanie frustum", "Rendering mapy cieni", true},
        {"mapped/cubeMap", "bool", "Mapa szescienna", "Rendering mapy cieni", false},
        {"mapped/drawAsTexture", "bool", "Jako tekstura", "Podglad mapy cieni", true},
        {"mapped/useMapView", "bool", "Rysowanie podgladu mapy", "Podglad mapy cieni", true},
        {"mapped/mapViewSize", "float", "Wielkosc podgladu", "Podglad mapy cieni", true},
        {"light/enabled", "", "Wl/Wyl", "", true},
        {"light/lightType", "Typ", "Rodzaj", "", true},
        {"light/position", "Position", "Pozycja", "", true},
        {"light/angle", "Angle", "Kat padania promieni", "Reflektor", false},
        {"light/direction", "Position", "Kierunek reflektora", "Reflektor", false},
        {"light/spotOpt", "SpotOptions", "Parametry reflektora", "Reflektor", false},
        {"light/Reflektor", "", "Reflektor", "", false},
        {"light/globalAmbient", "color4f", "Globalne otaczajace", "Kolory", true},
        {"light/ambient", "color4f", "Otaczajace", "Kolory", true},
        {"light/lowDiffuse", "float", "Slabe rozproszone", "Kolory", true},
        {"light/diffuse", "color4f", "Rozproszone", "Kolory", true},
        {"light/specular", "color4f", "Odbite", "Kolory", true},
    };
    for (const Expected& expected : rows) {
        const auto row = GetRow(expected.path);
        ASSERT_TRUE(row.has_value()) << expected.path;
        EXPECT_EQ(row->type, expected.type) << expected.path;
        EXPECT_EQ(row->label, expected.label) << expected.path;
        EXPECT_EQ(row->group, expected.group) << expected.path;
        EXPECT_EQ(row->visible, expected.visible) << expected.path;
        if (row->kind == "variable" && row->type == "bool") {
            EXPECT_EQ(row->trueLabel + "/" + row->falseLabel, "Wlaczone/Wylaczone") << expected.path;
        }
    }

    EXPECT_TRUE(RowsInOrder("main", {"rederingMode", "backgroundColor", "frameTime", "framesPerSecond"}));
    EXPECT_TRUE(GetRow("main/frameTime")->readonly);
    EXPECT_TRUE(GetRow("main/framesPerSecond")->readonly);
    EXPECT_TRUE(RowsInOrder("projected", {"drawObjects", "polygonOffset", "Przyciemnianie"}));
    EXPECT_TRUE(RowsInOrder("projected/Przyciemnianie", {"useDarkening", "darkeningFactor", "darkeningStencil"}));
    EXPECT_TRUE(RowsInOrder("volume", {"stencilOperation", "infiniteFrustum", "drawVolumes", "Rodzaj bryl",
                                       "Szybkie przyciemnianie"}));
    EXPECT_TRUE(RowsInOrder("mapped", {"polygonOffset", "Rendering mapy cieni", "Podglad mapy cieni"}));
    EXPECT_TRUE(RowsInOrder("mapped/Rendering mapy cieni", {"showFrustum", "near", "far", "orthoSize", "orthoOffset",
                                                                   "fitFrustum", "mapSize", "filtering", "cubeMap"}));
    EXPECT_TRUE(RowsInOrder("mapped/Podglad mapy cieni", {"drawAsTexture", "useMapView", "mapViewSize"}));
    EXPECT_TRUE(RowsInOrder("light", {"enabled", "lightType", "lightSep0", "position", "Reflektor", "Kolory"}));
    EXPECT_TRUE(RowsInOrder("light/Reflektor", {"angle", "direction", "spotOpt"}));
    EXPECT_TRUE(RowsInOrder("light/Kolory", {"globalAmbient", "lightSep3", "ambient", "lowDiffuse", "diffuse",
                                             "specular"}));
    EXPECT_EQ(GetRow("light/lightSep0")->kind, "separator");
    EXPECT_EQ(GetRow("light/enabled")->kind, "button");
}

TEST_F(ProgramBarsTest, RowsOfferTheirRangesAndChoices)
{
    const auto mode = GetRow("main/rederingMode")->enumValues;
    ASSERT_EQ(mode.size(), 4u);
    EXPECT_EQ(mode[0].second, "Brak cieni");
    EXPECT_EQ(mode[3], (std::pair<int, std::string>{3, "Mapowanie cieni"}));
    EXPECT_EQ(GetRow("volume/stencilOperation")->enumValues,
              (std::vector<std::pair<int, std::string>>{{0, "Depth-Pass"}, {1, "Depth-Fail"}}));
    EXPECT_EQ(GetRow("light/lightType")->enumValues,
              (std::vector<std::pair<int, std::string>>{{0, "Punktowe"}, {1, "Kierunkowe"}, {2, "Reflektor"}}));
    EXPECT_EQ(GetRow("mapped/mapSize")->enumValues,
              (std::vector<std::pair<int, std::string>>{{512, "512"}, {1024, "1024"}, {2048, "2048"}, {4096, "4096"}}));
    EXPECT_EQ(GetRow("mapped/filtering")->enumValues,
              (std::vector<std::pair<int, std::string>>{{0, "Brak"}, {1, "Liniowe 2x2"}, {2, "PCF 4x4"}}));

    for (const char* factor : {"projected/darkeningFactor", "volume/darkeningFactor", "mapped/mapViewSize",
                               "light/lowDiffuse"}) {
        EXPECT_EQ(GetRow(factor)->min, 0.0) << factor;
        EXPECT_EQ(GetRow(factor)->max, 1.0) << factor;
        EXPECT_EQ(GetRow(factor)->step, 0.01) << factor;
    }
    EXPECT_EQ(GetRow("volume/volumeLenght")->min, 0.0);
    EXPECT_FALSE(GetRow("volume/volumeLenght")->max.has_value());
    EXPECT_EQ(GetRow("mapped/orthoSize")->min, 0.1);
    EXPECT_EQ(GetRow("mapped/orthoSize")->step, 0.1) << "the later step counts";
    EXPECT_EQ(GetRow("mapped/near")->step, 0.05);
    EXPECT_EQ(GetRow("light/spotOpt/Kat stozka swiatla")->max, 90.0);
    EXPECT_EQ(GetRow("light/spotOpt/Eksponent zaniku")->max, 128.0);
    EXPECT_EQ(GetRow("light/angle/Kat padania")->min, -90.0);

    EXPECT_TRUE(GetRow("light/direction")->readonly);
    EXPECT_FALSE(GetRow("light/direction")->open);
    EXPECT_TRUE(GetRow("light/position/w")->readonly);
    EXPECT_FALSE(GetRow("light/position/x")->readonly);
    EXPECT_TRUE(GetRow("light/position")->open);
    for (const char* colour : {"light/globalAmbient", "light/ambient", "light/diffuse", "light/specular"})
        EXPECT_TRUE(GetRow(colour)->noalpha) << colour;
    EXPECT_NE(GetRow("light/position")->help.find("'w'"), std::string::npos)
        << "the quoted w stays inside the help";
}

// A row bound to the wrong option would edit another method's setting.
TEST_F(ProgramBarsTest, EachRowEditsItsOwnOption)
{
    struct FloatRow {
        const char* path;
        float RendererOptions::*field;
        double value;
    };
    const FloatRow floats[] = {
        {"projected/polygonOffset", &RendererOptions::projectedPolygonOffset, -3.5},
        {"projected/darkeningFactor", &RendererOptions::projectedDarkeningFactor, 0.25},
        {"volume/volumeLenght", &RendererOptions::volumeLenght, 42},
        {"volume/darkeningFactor", &RendererOptions::volumeDarkeningFactor, 0.75},
        {"mapped/polygonOffset", &RendererOptions::mappedPolygonOffset, 1.5},
        {"mapped/near", &RendererOptions::near, 2.5},
        {"mapped/far", &RendererOptions::far, 45},
        {"mapped/orthoSize", &RendererOptions::orthoSize, 12},
        {"mapped/orthoOffset", &RendererOptions::orthoOffset, 6},
        {"mapped/mapViewSize", &RendererOptions::mapViewSize, 0.3},
    };
    // Hidden bars and rows take no edits: show them all.
    for (const char* bar : {"projected", "volume", "mapped"})
        ASSERT_EQ(TwDefine((std::string(bar) + " visible=true").c_str()), 1);
    ASSERT_TRUE(ChooseLabel("projected/useDarkening", "Wlaczone"));
    ASSERT_TRUE(ChooseLabel("volume/infiniteVolume", "Wylaczone"));
    ASSERT_TRUE(ChooseLabel("volume/useDarkening", "Wlaczone"));
    for (const FloatRow& row : floats) {
        const RendererOptions before = options;
        ASSERT_TRUE(SetNumber(row.path, row.value)) << row.path;
        EXPECT_EQ(options.*row.field, static_cast<float>(row.value)) << row.path;
        for (const FloatRow& other : floats) {
            if (other.field != row.field) {
                EXPECT_EQ(options.*other.field, before.*other.field) << row.path << " changed " << other.path;
            }
        }
    }

    struct SwitchRow {
        const char* path;
        bool RendererOptions::*field;
    };
    const SwitchRow switches[] = {
        {"projected/drawObjects", &RendererOptions::drawObjects},
        {"projected/darkeningStencil", &RendererOptions::darkeningStencil},
        {"volume/infiniteFrustum", &RendererOptions::infiniteFrustum},
        {"volume/drawVolumes", &RendererOptions::drawVolumes},
        {"mapped/showFrustum", &RendererOptions::showFrustum},
        {"mapped/drawAsTexture", &RendererOptions::drawAsTexture},
        {"mapped/useMapView", &RendererOptions::useMapView},
    };
    for (const SwitchRow& row : switches) {
        const bool was = options.*row.field;
        ASSERT_TRUE(ChooseLabel(row.path, was ? "Wylaczone" : "Wlaczone")) << row.path;
        EXPECT_EQ(options.*row.field, !was) << row.path;
        EXPECT_EQ(ValueText(row.path), was ? "Wylaczone" : "Wlaczone") << row.path;
    }

    ASSERT_TRUE(ChooseLabel("volume/stencilOperation", "Depth-Fail"));
    EXPECT_EQ(options.stencilOperation, 1);
    ASSERT_TRUE(SetColor("main/backgroundColor", 0.1f, 0.2f, 0.3f));
    EXPECT_EQ(options.backgroundColor, (Vec3{0.1f, 0.2f, 0.3f}));
    ASSERT_TRUE(SetNumber("light/lowDiffuse", 0.4));
    EXPECT_EQ(light.lowDiffuse, 0.4f);
}

// The rows show the option defaults each builder assigns.
TEST_F(ProgramBarsTest, RowsShowTheDefaults)
{
    EXPECT_EQ(ValueText("main/rederingMode"), "Brak cieni");
    EXPECT_EQ(ValueText("projected/drawObjects"), "Wlaczone");
    EXPECT_EQ(ValueText("projected/useDarkening"), "Wylaczone");
    EXPECT_EQ(ValueText("volume/stencilOperation"), "Depth-Pass");
    EXPECT_EQ(ValueText("volume/infiniteVolume"), "Wlaczone");
    EXPECT_EQ(ValueText("mapped/useMapView"), "Wlaczone");
    EXPECT_EQ(ValueText("mapped/drawAsTexture"), "Wylaczone");
    EXPECT_EQ(options.projectedPolygonOffset, -10.0f);
    EXPECT_EQ(options.volumeLenght, 100.0f);
    EXPECT_EQ(options.far, 30.0f);
    EXPECT_EQ(options.mapViewSize, 0.4f);
}

// Fitting sets the planes and the directional box itself, so their rows only
// show values while it is on; the cube map is offered to point lights alone
// and only where the driver supports it.
TEST_F(ProgramBarsTest, FittingAndCubeMapRowsFollowTheirConditions)
{
    ASSERT_EQ(TwDefine("mapped visible=true"), 1);
    const char* overridden[] = {"mapped/near", "mapped/far", "mapped/orthoSize", "mapped/orthoOffset"};
    ASSERT_TRUE(ChooseLabel("mapped/fitFrustum", "Wlaczone"));
    EXPECT_TRUE(options.fitFrustum);
    for (const char* row : overridden) {
        EXPECT_TRUE(GetRow(row)->readonly) << row;
        EXPECT_FALSE(SetNumber(row, 2.0)) << row;
    }
    ASSERT_TRUE(ChooseLabel("mapped/fitFrustum", "Wylaczone"));
    for (const char* row : overridden)
        EXPECT_TRUE(SetNumber(row, 2.0)) << row;

    EXPECT_FALSE(ChooseLabel("mapped/cubeMap", "Wlaczone")) << "not offered before the driver is known";
    OfferCubeMap(options, true, light.lightType);
    ASSERT_TRUE(ChooseLabel("mapped/cubeMap", "Wlaczone"));
    EXPECT_TRUE(options.cubeMap);
    ASSERT_TRUE(ChooseLabel("light/lightType", "Reflektor"));
    EXPECT_FALSE(GetRow("mapped/cubeMap")->visible);
    ASSERT_TRUE(ChooseLabel("light/lightType", "Punktowe"));
    EXPECT_TRUE(GetRow("mapped/cubeMap")->visible);
    OfferCubeMap(options, false, light.lightType);
    EXPECT_FALSE(GetRow("mapped/cubeMap")->visible);
    EXPECT_FALSE(options.cubeMap);
}

// Every row kind the program uses draws, also without a GL context.
TEST_F(ProgramBarsTest, BarsDrawWithoutAContext)
{
    TwWindowSize(1024, 768);
    ASSERT_TRUE(ChooseLabel("main/rederingMode", "Cienie objetosciowe"));
    ASSERT_TRUE(ChooseLabel("light/lightType", "Reflektor"));
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(TwDraw(), 1);
    for (const char* row : {"main/rederingMode", "main/backgroundColor", "volume/stencilOperation", "light/enabled",
                            "light/spotOpt", "light/specular"})
        EXPECT_TRUE(ValueRectangle(row).has_value()) << row;
    EXPECT_FALSE(ValueRectangle("mapped/near").has_value()) << "the hidden bar is not drawn";
}
}
