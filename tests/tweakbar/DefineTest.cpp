#include "TweakBarFixture.h"

using namespace TweakBarTesting;

namespace
{
struct Options {
    bool drawObjects = true;
    float polygonOffset = -10;
    float darkeningFactor = 0.5f;
    bool darkeningStencil = true;
    float volumeLenght = 100;
    float orthoSize = 10;
    float color[3] = {0, 0, 0};
    int mode = 0;
};

using DefineTest = TweakBarTest;
}

TEST_F(DefineTest, BarParameters)
{
    TwBar* bar = TwNewBar("projected");
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(TwDefine("projected label='Opcje rzutowania cieni' size='350 130' valueswidth=160 visible=false "
                       "position='2000 16' color='18 141 18' alpha=64 "),
              1)
        << LastError();
    const auto info = GetBar("projected");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->label, "Opcje rzutowania cieni");
    EXPECT_EQ(info->width, 350);
    EXPECT_EQ(info->height, 130);
    EXPECT_EQ(info->valuesWidth, 160);
    EXPECT_FALSE(info->visible);
    EXPECT_EQ(info->x, 2000);
    EXPECT_EQ(info->y, 16);
    EXPECT_EQ(info->color[0], 18);
    EXPECT_EQ(info->color[1], 141);
    EXPECT_EQ(info->color[2], 18);
    EXPECT_EQ(info->alpha, 64);
    EXPECT_FALSE(IsShown("projected"));

    ASSERT_EQ(TwDefine("projected visible=true"), 1);
    EXPECT_TRUE(IsShown("projected"));
    ASSERT_EQ(TwDefine("projected hide"), 1);
    EXPECT_FALSE(IsShown("projected"));
    ASSERT_EQ(TwDefine("projected show help='Pomoc paska'"), 1);
    EXPECT_TRUE(IsShown("projected"));
    EXPECT_EQ(GetBar("projected")->help, "Pomoc paska");
}

TEST_F(DefineTest, PositionIsClampedIntoTheWindow)
{
    TwNewBar("volume");
    ASSERT_EQ(TwDefine("volume size='360 200' position='2000 16'"), 1);
    ASSERT_EQ(TwWindowSize(1024, 768), 1);
    auto info = GetBar("volume");
    EXPECT_FLOAT_EQ(info->left, 1024 - 360);
    EXPECT_FLOAT_EQ(info->top, 16);
    EXPECT_FLOAT_EQ(info->right, 1024);
    EXPECT_FLOAT_EQ(info->bottom, 216);

    // A wider window keeps the bar docked at its right edge.
    TwWindowSize(1600, 900);
    EXPECT_FLOAT_EQ(GetBar("volume")->left, 1600 - 360);

    TwDefine("volume position='-50 5000'");
    info = GetBar("volume");
    EXPECT_FLOAT_EQ(info->left, 0);
    EXPECT_FLOAT_EQ(info->top, 900 - 200);

    TwNewBar("light");
    TwDefine("light size='350 540' position='16 182'");
    info = GetBar("light");
    EXPECT_FLOAT_EQ(info->left, 16);
    EXPECT_FLOAT_EQ(info->top, 182);

    // In a low window a tall bar keeps its place and ends at the bottom edge
    // rather than sliding up over the bars above it.
    TwWindowSize(640, 480);
    info = GetBar("light");
    EXPECT_FLOAT_EQ(info->top, 182);
    EXPECT_FLOAT_EQ(info->bottom, 480);
}

TEST_F(DefineTest, RepeatedParameterTakesItsLastValue)
{
    TwBar* bar = TwNewBar("mapped");
    float orthoSize = 10, orthoOffset = 5;
    ASSERT_EQ(TwAddVarRW(bar, "orthoSize", TW_TYPE_FLOAT, &orthoSize,
                         "label='Szerokosc cienia' step=0.05 group='Rendering mapy cieni' min=0.1 step=0.1 "
                         "help='Okresla rozmiar.'"),
              1)
        << LastError();
    ASSERT_EQ(TwAddVarRW(bar, "orthoOffset", TW_TYPE_FLOAT, &orthoOffset,
                         "label='Cofniecie rzutowania' step=0.05 group='Rendering mapy cieni' step=0.05"),
              1);
    const auto row = GetRow("mapped/orthoSize");
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->step, 0.1);
    EXPECT_EQ(row->min, 0.1);
    EXPECT_FALSE(row->max.has_value());
    EXPECT_EQ(GetRow("mapped/orthoOffset")->step, 0.05);
    ASSERT_EQ(TwDefine("mapped label='A' label='B'"), 1);
    EXPECT_EQ(GetBar("mapped")->label, "B");
}

TEST_F(DefineTest, VariableParametersOfEveryKind)
{
    TwBar* bar = TwNewBar("projected");
    Options o;
    ASSERT_EQ(TwAddVarRW(bar, "darkeningFactor", TW_TYPE_FLOAT, &o.darkeningFactor,
                         "label='Wspolczynnik' group='Przyciemnianie' step=0.01 min=0.0f max=1.0f "
                         "help='Okresla skladowa alfa koloru cieni.' hide"),
              1)
        << LastError();
    ASSERT_EQ(TwAddVarRW(bar, "darkeningStencil", TW_TYPE_BOOLCPP, &o.darkeningStencil,
                         "label='Bufor szablonowy' group='Przyciemnianie' true='Wlaczone' false='Wylaczone' hide"),
              1);
    ASSERT_EQ(TwAddVarRW(bar, "color", TW_TYPE_COLOR3F, o.color, "label='Kolor tla' close readonly"), 1);

    auto factor = GetRow("projected/darkeningFactor");
    ASSERT_TRUE(factor.has_value());
    EXPECT_EQ(factor->kind, "variable");
    EXPECT_EQ(factor->type, "float");
    EXPECT_EQ(factor->label, "Wspolczynnik");
    EXPECT_EQ(factor->group, "Przyciemnianie");
    EXPECT_EQ(factor->min, 0.0);
    EXPECT_EQ(factor->max, 1.0);
    EXPECT_EQ(factor->step, 0.01);
    EXPECT_EQ(factor->help, "Okresla skladowa alfa koloru cieni.");
    EXPECT_FALSE(factor->visible);
    const auto stencil = GetRow("projected/darkeningStencil");
    EXPECT_EQ(stencil->trueLabel, "Wlaczone");
    EXPECT_EQ(stencil->falseLabel, "Wylaczone");
    EXPECT_EQ(*ValueText("projected/darkeningStencil"), "Wlaczone");
    EXPECT_TRUE(GetRow("projected/color")->readonly);
    EXPECT_FALSE(GetRow("projected/color")->open);

    ASSERT_EQ(TwDefine("projected/darkeningFactor show"), 1);
    EXPECT_TRUE(GetRow("projected/darkeningFactor")->visible);
    ASSERT_EQ(TwDefine("projected/darkeningFactor visible=false"), 1);
    EXPECT_FALSE(GetRow("projected/darkeningFactor")->visible);
    ASSERT_EQ(TwDefine("projected/color readwrite open label='Tlo'"), 1);
    EXPECT_FALSE(GetRow("projected/color")->readonly);
    EXPECT_TRUE(GetRow("projected/color")->open);
    EXPECT_EQ(GetRow("projected/color")->label, "Tlo");
}

TEST_F(DefineTest, ParametersThatDoNotFitTheRowAreRefused)
{
    TwBar* bar = TwNewBar("b");
    bool flag = false;
    float number = 0;
    float rgba[4] = {};
    ASSERT_EQ(TwAddVarRW(bar, "flag", TW_TYPE_BOOLCPP, &flag, nullptr), 1);
    ASSERT_EQ(TwAddVarRW(bar, "number", TW_TYPE_FLOAT, &number, nullptr), 1);
    ASSERT_EQ(TwAddVarRW(bar, "rgba", TW_TYPE_COLOR4F, rgba, "noalpha"), 1);
    EXPECT_TRUE(GetRow("b/rgba")->noalpha);
    const char* refused[] = {
        "b/flag min=0",          "b/number true='x'",     "b/number noalpha",   "b/number open",
        "b/number val='0 {a}'",  "b/number step=0",       "b/number step=-1",   "b/number min=2 max=1",
        "b/number min=abc",      "b/number label",        "b/number hide=1",    "b/number visible=maybe",
        "b/number colour='1 2'", "b size='350'",          "b size='0 10'",      "b color='256 0 0'",
        "b alpha=300",           "b valueswidth=wide",    "b position='1 2 3'", "b visible",
        "b/missing hide",        "nobar hide",            "b/number/x hide",    "GLOBAL label='x'",
        "b/number group",
    };
    for (const char* definition : refused) {
        EXPECT_EQ(TwDefine(definition), 0) << definition;
        EXPECT_FALSE(LastError().empty()) << definition;
    }
    EXPECT_EQ(TwDefine(nullptr), 0);
    EXPECT_FALSE(LastError().empty());
}

TEST_F(DefineTest, AFailingDefinitionChangesNothing)
{
    TwBar* bar = TwNewBar("b");
    float number = 0;
    TwAddVarRW(bar, "number", TW_TYPE_FLOAT, &number, "label='Old' min=0");
    EXPECT_EQ(TwDefine("b/number label='New' max=-1"), 0);
    EXPECT_EQ(GetRow("b/number")->label, "Old");
    EXPECT_FALSE(GetRow("b/number")->max.has_value());
    EXPECT_EQ(TwDefine("b label='New' size='10'"), 0);
    EXPECT_EQ(GetBar("b")->label, "b");

    // A malformed row definition adds no row.
    EXPECT_EQ(TwAddVarRW(bar, "other", TW_TYPE_FLOAT, &number, "group='G' min=x"), 0);
    EXPECT_NE(LastError().find("min"), std::string::npos);
    EXPECT_FALSE(GetRow("b/other").has_value());
    EXPECT_FALSE(GetRow("b/G").has_value());
    EXPECT_EQ(RowNames("b"), std::vector<std::string>{"number"});
}

TEST_F(DefineTest, GroupsCollectRowsAndHideThem)
{
    TwBar* bar = TwNewBar("light");
    float a[2] = {}, b = 0, c = 0;
    TwAddVarRW(bar, "lowDiffuse", TW_TYPE_FLOAT, &b, "group='Kolory'");
    TwAddVarRW(bar, "angle", TW_TYPE_FLOAT, &a[0], "group='Reflektor' hide");
    TwAddVarRW(bar, "cutoff", TW_TYPE_FLOAT, &a[1], "group='Reflektor'");
    ASSERT_EQ(TwAddSeparator(bar, "lightSep3", "group='Kolory' "), 1) << LastError();
    TwAddVarRW(bar, "free", TW_TYPE_FLOAT, &c, nullptr);
    EXPECT_EQ(RowNames("light"), (std::vector<std::string>{"Kolory", "Reflektor", "free"}));
    EXPECT_EQ(RowNames("light/Kolory"), (std::vector<std::string>{"lowDiffuse", "lightSep3"}));
    EXPECT_EQ(GetRow("light/Reflektor")->kind, "group");
    EXPECT_TRUE(GetRow("light/Reflektor")->open);

    ASSERT_EQ(TwDefine("light/Reflektor hide"), 1);
    EXPECT_FALSE(IsShown("light/cutoff"));
    EXPECT_TRUE(IsShown("light/lowDiffuse"));
    ASSERT_EQ(TwDefine("light/Reflektor show"), 1);
    EXPECT_TRUE(IsShown("light/cutoff"));
    EXPECT_FALSE(IsShown("light/angle"));
    ASSERT_EQ(TwDefine("light/Reflektor close label='Spot'"), 1);
    EXPECT_FALSE(GetRow("light/Reflektor")->open);
    EXPECT_EQ(GetRow("light/Reflektor")->label, "Spot");

    // Rows move between groups, and groups nest, but never into themselves.
    ASSERT_EQ(TwDefine("light/free group='Kolory'"), 1);
    EXPECT_EQ(RowNames("light/Kolory"), (std::vector<std::string>{"lowDiffuse", "lightSep3", "free"}));
    ASSERT_EQ(TwDefine("light/Reflektor group='Kolory'"), 1);
    EXPECT_EQ(RowNames("light"), std::vector<std::string>{"Kolory"});
    ASSERT_EQ(TwDefine("light/Kolory hide"), 1);
    EXPECT_FALSE(IsShown("light/cutoff"));
    EXPECT_EQ(TwDefine("light/Kolory group='Reflektor'"), 0);
    EXPECT_EQ(TwDefine("light/Kolory group='Kolory'"), 0);
    EXPECT_EQ(TwDefine("light/free group='lowDiffuse'"), 0);
    ASSERT_EQ(TwDefine("light/free group=''"), 1);
    EXPECT_EQ(RowNames("light"), (std::vector<std::string>{"Kolory", "free"}));

    ASSERT_EQ(TwDefine("light visible=false"), 1);
    EXPECT_FALSE(IsShown("light/free"));
}

TEST_F(DefineTest, GlobalHelpAndSeveralDefinitionsAtOnce)
{
    TwNewBar("main");
    ASSERT_EQ(TwDefine("GLOBAL help='Korvana: trzy metody cieni.'"), 1);
    EXPECT_EQ(GlobalHelp(), "Korvana: trzy metody cieni.");
    ASSERT_EQ(TwDefine("main label='Okno glowne'\nGLOBAL help='Nowa pomoc'"), 1);
    EXPECT_EQ(GetBar("main")->label, "Okno glowne");
    EXPECT_EQ(GlobalHelp(), "Nowa pomoc");
}

TEST_F(DefineTest, EnumerationTakesItsValuesFromTheVariable)
{
    TwBar* bar = TwNewBar("main");
    const TwType rendererMode = TwDefineEnum("rendererMode", nullptr, 0);
    ASSERT_NE(rendererMode, TW_TYPE_UNDEF);
    int mode = 2;
    ASSERT_EQ(TwAddVarRW(bar, "rederingMode", rendererMode, &mode,
                         "label='Metoda rysowania cieni' val='0 {Brak cieni}, 1 {Rzutowanie cieni}, "
                         "2 {Cienie objetosciowe}, 3 {Mapowanie cieni}' help='Pozwala wybrac metode'"),
              1)
        << LastError();
    const auto row = GetRow("main/rederingMode");
    EXPECT_EQ(row->type, "rendererMode");
    ASSERT_EQ(row->enumValues.size(), 4u);
    EXPECT_EQ(row->enumValues[3], std::make_pair(3, std::string("Mapowanie cieni")));
    EXPECT_EQ(*ValueText("main/rederingMode"), "Cienie objetosciowe");
    mode = 7;
    EXPECT_EQ(*ValueText("main/rederingMode"), "7");

    // Defining the same name again (a rebuilt bar) gives the same type.
    EXPECT_EQ(TwDefineEnum("rendererMode", nullptr, 0), rendererMode);
    const TwEnumVal types[] = {{0, "Punktowe"}, {1, "Kierunkowe"}, {2, "Reflektor"}};
    const TwType typ = TwDefineEnum("Typ", types, 3);
    int light = 1;
    ASSERT_EQ(TwAddVarRW(bar, "lightType", typ, &light, nullptr), 1);
    EXPECT_EQ(*ValueText("main/lightType"), "Kierunkowe");
    EXPECT_EQ(GetRow("main/lightType")->enumValues.size(), 3u);

    const TwEnumVal repeated[] = {{0, "a"}, {0, "b"}};
    EXPECT_EQ(TwDefineEnum("bad", repeated, 2), TW_TYPE_UNDEF);
    EXPECT_EQ(TwDefineEnum("bad", nullptr, 2), TW_TYPE_UNDEF);
    EXPECT_EQ(TwDefineEnum("", types, 3), TW_TYPE_UNDEF);
    EXPECT_EQ(TwDefineEnum(nullptr, types, 3), TW_TYPE_UNDEF);
    EXPECT_FALSE(LastError().empty());
}

TEST_F(DefineTest, StructureMembersCarryTheirOwnDefinitions)
{
    struct Angle {
        float horizontal, vertical;
    };
    const TwStructMember members[] = {
        {"Kierunek", TW_TYPE_FLOAT, offsetof(Angle, horizontal), "min=0 max=360 step=1"},
        {"Kat padania", TW_TYPE_FLOAT, offsetof(Angle, vertical), "min=-90 max=90 step=1 readonly"},
    };
    const TwType angleType = TwDefineStruct("Angle", members, 2, sizeof(Angle), nullptr, nullptr);
    ASSERT_NE(angleType, TW_TYPE_UNDEF) << LastError();
    TwBar* bar = TwNewBar("light");
    Angle angle{180, -43};
    ASSERT_EQ(TwAddVarRW(bar, "angle", angleType, &angle,
                         "group='Reflektor' label='Kat padania promieni' open hide help='Okresla kat.'"),
              1)
        << LastError();
    EXPECT_TRUE(GetRow("light/angle")->open);
    EXPECT_EQ(GetRow("light/angle")->type, "Angle");
    const auto vertical = GetRow("light/angle/Kat padania");
    ASSERT_TRUE(vertical.has_value());
    EXPECT_EQ(vertical->min, -90);
    EXPECT_EQ(vertical->max, 90);
    EXPECT_TRUE(vertical->readonly);
    EXPECT_FALSE(GetRow("light/angle/Kierunek")->readonly);
    EXPECT_EQ(*ValueText("light/angle"), "180, -43");
    EXPECT_EQ(*ValueText("light/angle/Kierunek"), "180");

    // The same layout again is the same type; a new layout of a used type is refused.
    EXPECT_EQ(TwDefineStruct("Angle", members, 2, sizeof(Angle), nullptr, nullptr), angleType);
    EXPECT_EQ(TwDefineStruct("Angle", members, 1, sizeof(Angle), nullptr, nullptr), TW_TYPE_UNDEF);
    EXPECT_EQ(TwDefineEnum("Angle", nullptr, 0), TW_TYPE_UNDEF);

    const TwStructMember outside[] = {{"x", TW_TYPE_FLOAT, 6, ""}};
    EXPECT_EQ(TwDefineStruct("Outside", outside, 1, 8, nullptr, nullptr), TW_TYPE_UNDEF);
    const TwStructMember badDefinition[] = {{"x", TW_TYPE_FLOAT, 0, "min=1 max=0"}};
    EXPECT_EQ(TwDefineStruct("Bad", badDefinition, 1, 4, nullptr, nullptr), TW_TYPE_UNDEF);
    const TwStructMember twice[] = {{"x", TW_TYPE_FLOAT, 0, ""}, {"x", TW_TYPE_FLOAT, 4, ""}};
    EXPECT_EQ(TwDefineStruct("Twice", twice, 2, 8, nullptr, nullptr), TW_TYPE_UNDEF);
    const TwStructMember nested[] = {{"a", angleType, 0, ""}};
    EXPECT_EQ(TwDefineStruct("Nested", nested, 1, sizeof(Angle), nullptr, nullptr), TW_TYPE_UNDEF);
    EXPECT_EQ(TwDefineStruct("Empty", members, 0, 8, nullptr, nullptr), TW_TYPE_UNDEF);
    EXPECT_FALSE(LastError().empty());
}

TEST_F(DefineTest, AddingRowsChecksItsArguments)
{
    TwBar* bar = TwNewBar("b");
    float value = 0;
    EXPECT_EQ(TwNewBar("b"), nullptr);
    EXPECT_EQ(TwNewBar(""), nullptr);
    EXPECT_EQ(TwNewBar("GLOBAL"), nullptr);
    EXPECT_EQ(TwAddVarRW(bar, "v", TW_TYPE_FLOAT, nullptr, nullptr), 0);
    EXPECT_EQ(TwAddVarRW(bar, "", TW_TYPE_FLOAT, &value, nullptr), 0);
    EXPECT_EQ(TwAddVarRW(bar, "v", static_cast<TwType>(999), &value, nullptr), 0);
    EXPECT_EQ(TwAddVarRW(reinterpret_cast<TwBar*>(&value), "v", TW_TYPE_FLOAT, &value, nullptr), 0);
    EXPECT_EQ(TwAddVarCB(bar, "v", TW_TYPE_FLOAT, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(TwAddButton(bar, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(TwAddVarRW(bar, "v", TW_TYPE_FLOAT, &value, nullptr), 1);
    EXPECT_EQ(TwAddVarRW(bar, "v", TW_TYPE_FLOAT, &value, nullptr), 0);
    EXPECT_EQ(TwAddButton(bar, "v", nullptr, nullptr, nullptr), 0);
    EXPECT_FALSE(LastError().empty());
    EXPECT_EQ(TwGetLastError(), nullptr);
    EXPECT_EQ(TwAddSeparator(bar, nullptr, nullptr), 1);
    EXPECT_EQ(TwAddSeparator(bar, "", nullptr), 1);
    EXPECT_EQ(RowNames("b").size(), 3u);
}

TEST_F(DefineTest, DeletedBarsAreGone)
{
    TwBar* main = TwNewBar("main");
    ASSERT_EQ(TwDeleteBar(main), 1);
    EXPECT_FALSE(GetBar("main").has_value());
    EXPECT_EQ(TwDeleteBar(main), 0);
    EXPECT_EQ(TwDeleteBar(nullptr), 0);
    EXPECT_EQ(TwDefine("main hide"), 0);
    EXPECT_NE(TwNewBar("main"), nullptr);
}

TEST(TweakBarLifecycle, NothingWorksBeforeTwInitOrAfterTwTerminate)
{
    EXPECT_EQ(TwNewBar("main"), nullptr);
    EXPECT_NE(TwGetLastError(), nullptr);
    EXPECT_EQ(TwDraw(), 0);
    EXPECT_EQ(TwEventWin(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, 0), 0);
    EXPECT_EQ(TwTerminate(), 0);
    EXPECT_EQ(TwInit(static_cast<TwGraphAPI>(7), nullptr), 0);

    ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
    EXPECT_EQ(TwInit(TW_OPENGL, nullptr), 0);
    TwNewBar("main");
    TwDefine("GLOBAL help='x'");
    ASSERT_EQ(TwTerminate(), 1);
    EXPECT_EQ(TwDefine("main hide"), 0);

    // A restarted library starts empty.
    ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
    EXPECT_FALSE(GetBar("main").has_value());
    EXPECT_EQ(GlobalHelp(), "");
    EXPECT_NE(TwNewBar("main"), nullptr);
    EXPECT_EQ(TwTerminate(), 1);
}
