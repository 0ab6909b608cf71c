#include "TweakBarFixture.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>

using namespace TweakBarTesting;

namespace
{
using ValuesTest = TweakBarTest;

// A light record reached through callbacks, as a program keeps it.
struct Light {
    float position[4] = {2, 5, 2.17f, 1};
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    int type = 0;
    bool enabled = true;
    int sets = 0;
    int gets = 0;
    int presses = 0;
};

void TW_CALL SetPosition(const void* value, void* client)
{
    auto* light = static_cast<Light*>(client);
    std::memcpy(light->position, value, sizeof light->position);
    ++light->sets;
}

void TW_CALL GetPosition(void* value, void* client)
{
    auto* light = static_cast<Light*>(client);
    std::memcpy(value, light->position, sizeof light->position);
    ++light->gets;
}

void TW_CALL SetAmbient(const void* value, void* client)
{
    std::memcpy(static_cast<Light*>(client)->ambient, value, 4 * sizeof(float));
}

void TW_CALL GetAmbient(void* value, void* client)
{
    std::memcpy(value, static_cast<Light*>(client)->ambient, 4 * sizeof(float));
}

// Switching to a spot shows its group, as the program's light bar does.
void TW_CALL SetType(const void* value, void* client)
{
    auto* light = static_cast<Light*>(client);
    light->type = *static_cast<const int*>(value);
    TwDefine(light->type == 2 ? "light/Reflektor show" : "light/Reflektor hide");
}

void TW_CALL GetType(void* value, void* client)
{
    *static_cast<int*>(value) = static_cast<Light*>(client)->type;
}

void TW_CALL Toggle(void* client)
{
    auto* light = static_cast<Light*>(client);
    light->enabled = !light->enabled;
    ++light->presses;
}

TwType PositionType()
{
    const TwStructMember members[] = {
        {"x", TW_TYPE_FLOAT, 0, "step=0.01"},
        {"y", TW_TYPE_FLOAT, 4, "step=0.01"},
        {"z", TW_TYPE_FLOAT, 8, "step=0.01"},
        {"w", TW_TYPE_FLOAT, 12, "step=0.01 readonly"},
    };
    return TwDefineStruct("Position", members, 4, 4 * sizeof(float), nullptr, nullptr);
}
}

TEST_F(ValuesTest, ReadWriteVariablesAreEditedInTheirMemory)
{
    TwBar* bar = TwNewBar("b");
    bool flag = true;
    float factor = 0.5f;
    int count = 3;
    float background[3] = {0, 0, 0};
    TwAddVarRW(bar, "flag", TW_TYPE_BOOLCPP, &flag, "true='Wlaczone' false='Wylaczone'");
    TwAddVarRW(bar, "factor", TW_TYPE_FLOAT, &factor, "min=0.0f max=1.0f step=0.01");
    TwAddVarRW(bar, "count", TW_TYPE_INT32, &count, "min=-2 max=10");
    TwAddVarRW(bar, "background", TW_TYPE_COLOR3F, background, nullptr);

    EXPECT_EQ(*ValueText("b/flag"), "Wlaczone");
    ASSERT_TRUE(ChooseLabel("b/flag", "Wylaczone"));
    EXPECT_FALSE(flag);
    EXPECT_EQ(*ValueText("b/flag"), "Wylaczone");
    ASSERT_TRUE(SetNumber("b/flag", 1));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(ChooseLabel("b/flag", "Tak"));

    EXPECT_EQ(*ValueText("b/factor"), "0.50");
    ASSERT_TRUE(SetNumber("b/factor", 0.25));
    EXPECT_FLOAT_EQ(factor, 0.25f);
    ASSERT_TRUE(SetNumber("b/factor", 1.7));
    EXPECT_FLOAT_EQ(factor, 1.0f);
    ASSERT_TRUE(SetNumber("b/factor", -3));
    EXPECT_FLOAT_EQ(factor, 0.0f);
    EXPECT_FALSE(SetNumber("b/factor", std::numeric_limits<double>::quiet_NaN()));

    ASSERT_TRUE(SetNumber("b/count", 4.6));
    EXPECT_EQ(count, 5);
    ASSERT_TRUE(SetNumber("b/count", -100));
    EXPECT_EQ(count, -2);
    EXPECT_EQ(*ValueText("b/count"), "-2");

    ASSERT_TRUE(SetColor("b/background", 0.5f, 1.5f, -1.0f));
    EXPECT_FLOAT_EQ(background[0], 0.5f);
    EXPECT_FLOAT_EQ(background[1], 1.0f);
    EXPECT_FLOAT_EQ(background[2], 0.0f);
    EXPECT_EQ(*ValueText("b/background"), "0.50, 1.00, 0.00");

    // The program changing its memory shows at once.
    factor = 0.75f;
    EXPECT_EQ(*ValueText("b/factor"), "0.75");
}

TEST_F(ValuesTest, CallbackVariablesGoThroughGetterAndSetter)
{
    TwBar* bar = TwNewBar("light");
    Light light;
    const TwType position = PositionType();
    ASSERT_EQ(TwAddVarCB(bar, "position", position, SetPosition, GetPosition, &light, "label='Pozycja' open"), 1);
    EXPECT_EQ(*ValueText("light/position"), "2.00, 5.00, 2.17, 1.00");
    EXPECT_GT(light.gets, 0);

    // A member edit hands the setter the whole structure with the member changed.
    ASSERT_TRUE(SetNumber("light/position/y", 7.5));
    EXPECT_EQ(light.sets, 1);
    EXPECT_FLOAT_EQ(light.position[0], 2);
    EXPECT_FLOAT_EQ(light.position[1], 7.5f);
    EXPECT_FLOAT_EQ(light.position[3], 1);
    EXPECT_FALSE(SetNumber("light/position/w", 0));
    EXPECT_FALSE(SetNumber("light/position/q", 0));
    EXPECT_FALSE(SetNumber("light/position", 0));
    EXPECT_EQ(light.sets, 1);

    // Alpha of a "noalpha" colour stays as the record has it.
    light.ambient[3] = 0.8f;
    TwAddVarCB(bar, "ambient", TW_TYPE_COLOR4F, SetAmbient, GetAmbient, &light, "noalpha open");
    EXPECT_EQ(*ValueText("light/ambient"), "0.20, 0.20, 0.20");
    ASSERT_TRUE(SetColor("light/ambient", 0.1f, 0.2f, 0.3f, 0.0f));
    EXPECT_FLOAT_EQ(light.ambient[2], 0.3f);
    EXPECT_FLOAT_EQ(light.ambient[3], 0.8f);
}

TEST_F(ValuesTest, ReadOnlyAndHiddenRowsCannotBeEdited)
{
    TwBar* bar = TwNewBar("light");
    Light light;
    const TwType position = PositionType();
    TwAddVarCB(bar, "direction", position, nullptr, GetPosition, &light, "readonly close");
    TwAddVarCB(bar, "shown", position, nullptr, GetPosition, &light, nullptr);
    float hidden = 1, grouped = 2;
    TwAddVarRW(bar, "hidden", TW_TYPE_FLOAT, &hidden, "hide");
    TwAddVarRW(bar, "grouped", TW_TYPE_FLOAT, &grouped, "group='G'");

    EXPECT_FALSE(SetNumber("light/direction/x", 3));
    EXPECT_TRUE(GetRow("light/shown")->readonly);  // a getter without a setter
    EXPECT_FALSE(SetNumber("light/shown/x", 3));
    EXPECT_FALSE(SetNumber("light/hidden", 3));
    EXPECT_FLOAT_EQ(hidden, 1);
    ASSERT_TRUE(SetNumber("light/grouped", 3));
    TwDefine("light/G hide");
    EXPECT_FALSE(SetNumber("light/grouped", 4));
    TwDefine("light/G show");
    TwDefine("light visible=false");
    EXPECT_FALSE(SetNumber("light/grouped", 4));
    EXPECT_FLOAT_EQ(grouped, 3);
    EXPECT_EQ(light.sets, 0);
}

TEST_F(ValuesTest, EnumerationEditsOfferOnlyTheirValuesAndSettersMayRedefine)
{
    TwBar* bar = TwNewBar("light");
    Light light;
    const TwEnumVal values[] = {{0, "Punktowe"}, {1, "Kierunkowe"}, {2, "Reflektor"}};
    const TwType typ = TwDefineEnum("Typ", values, 3);
    TwAddVarCB(bar, "lightType", typ, SetType, GetType, &light, "label='Rodzaj'");
    float cutoff = 45;
    TwAddVarRW(bar, "spotOpt", TW_TYPE_FLOAT, &cutoff, "group='Reflektor'");
    TwDefine("light/Reflektor hide");

    EXPECT_FALSE(SetNumber("light/lightType", 5));
    EXPECT_FALSE(ChooseLabel("light/lightType", "Nieznane"));
    ASSERT_TRUE(ChooseLabel("light/lightType", "Reflektor"));
    EXPECT_EQ(light.type, 2);
    EXPECT_TRUE(IsShown("light/spotOpt"));
    ASSERT_TRUE(SetNumber("light/lightType", 1));
    EXPECT_EQ(*ValueText("light/lightType"), "Kierunkowe");
    EXPECT_FALSE(IsShown("light/spotOpt"));
}

TEST_F(ValuesTest, ButtonsCallTheirCallbackWithTheirClientData)
{
    TwBar* bar = TwNewBar("light");
    Light light;
    ASSERT_EQ(TwAddButton(bar, "enabled", Toggle, &light, "label='Wl/Wyl' help='Wlacza/Wylacza swiatlo'"), 1);
    TwAddButton(bar, "note", nullptr, nullptr, "label='Tylko tekst'");
    EXPECT_EQ(GetRow("light/enabled")->kind, "button");
    EXPECT_EQ(GetRow("light/enabled")->help, "Wlacza/Wylacza swiatlo");
    ASSERT_TRUE(PressButton("light/enabled"));
    EXPECT_FALSE(light.enabled);
    ASSERT_TRUE(PressButton("light/enabled"));
    EXPECT_TRUE(light.enabled);
    EXPECT_FALSE(PressButton("light/note"));
    TwDefine("light/enabled hide");
    EXPECT_FALSE(PressButton("light/enabled"));
    EXPECT_EQ(light.presses, 2);
}

TEST_F(ValuesTest, SummaryCallbackDescribesAStructure)
{
    struct Pair {
        float a, b;
    };
    const TwStructMember members[] = {{"a", TW_TYPE_FLOAT, offsetof(Pair, a), ""},
                                      {"b", TW_TYPE_FLOAT, offsetof(Pair, b), ""}};
    auto summary = [](char* text, size_t size, const void* value, void*) {
        const auto* pair = static_cast<const Pair*>(value);
        std::snprintf(text, size, "%g..%g", pair->a, pair->b);
    };
    const TwType type = TwDefineStruct("Pair", members, 2, sizeof(Pair), summary, nullptr);
    Pair pair{1, 2};
    TwAddVarRW(TwNewBar("b"), "pair", type, &pair, nullptr);
    EXPECT_EQ(*ValueText("b/pair"), "1..2");
}
