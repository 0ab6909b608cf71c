#include "DemoBars.h"

#include "tweakbar/TweakBar.h"

#include <cstdio>
#include <cstring>

namespace
{
void TW_CALL SetLightType(const void* value, void* client)
{
    auto* values = static_cast<DemoValues*>(client);
    values->lightType = *static_cast<const int*>(value);
    TwDefine(values->lightType == 2 ? "kinds/Reflektor show" : "kinds/Reflektor hide");
}

void TW_CALL GetLightType(void* value, void* client)
{
    *static_cast<int*>(value) = static_cast<DemoValues*>(client)->lightType;
}

void TW_CALL SetAmbient(const void* value, void* client)
{
    std::memcpy(static_cast<DemoValues*>(client)->ambient, value, 4 * sizeof(float));
}

void TW_CALL GetAmbient(void* value, void* client)
{
    std::memcpy(value, static_cast<DemoValues*>(client)->ambient, 4 * sizeof(float));
}

void TW_CALL GetFrames(void* value, void* client)
{
    *static_cast<int*>(value) = static_cast<DemoValues*>(client)->frames;
}

void TW_CALL Reset(void* client)
{
    auto* values = static_cast<DemoValues*>(client);
    const int resets = values->resets + 1;
    *values = DemoValues();
    values->resets = resets;
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

TwType SpotType()
{
    const TwStructMember members[] = {
        {"Kat stozka swiatla", TW_TYPE_FLOAT, 0, "min=0 max=90 step=0.5"},
        {"Eksponent zaniku", TW_TYPE_FLOAT, 4, "min=0 max=128"},
    };
    return TwDefineStruct("SpotOptions", members, 2, 2 * sizeof(float), nullptr, nullptr);
}

// Every kind of row in one bar.
bool BuildKindsBar(DemoValues& v)
{
    TwBar* bar = TwNewBar("kinds");
    const TwEnumVal lightTypes[] = {{0, "Punktowe"}, {1, "Kierunkowe"}, {2, "Reflektor"}};
    const TwType typ = TwDefineEnum("Typ", lightTypes, 3);
    const TwType mode = TwDefineEnum("mode", nullptr, 0);
    const TwType position = PositionType();
    const TwType spot = SpotType();
    return TwDefine("kinds label='Rodzaje zmiennych' size='390 600' position='16 16' valueswidth=180 "
                    "color='18 141 18' alpha=64 help='Kazdy rodzaj wiersza.' ") &&
           TwAddVarRW(bar, "enabled", TW_TYPE_BOOLCPP, &v.enabled,
                      "label='Przelacznik' true='Wlaczone' false='Wylaczone' help='Wartosc logiczna.'") &&
           TwAddVarRW(bar, "count", TW_TYPE_INT32, &v.count, "label='Liczba' min=0 max=20") &&
           TwAddVarRW(bar, "factor", TW_TYPE_FLOAT, &v.factor,
                      "label='Wspolczynnik' min=0.0f max=1.0f step=0.01 help='Od 0 do 1.'") &&
           TwAddVarRW(bar, "offset", TW_TYPE_FLOAT, &v.offset, "label='Przesuniecie'") &&
           TwAddVarRW(bar, "mode", mode, &v.mode,
                      "label='Metoda' val='0 {Brak cieni}, 1 {Rzutowanie cieni}, 2 {Cienie objetosciowe}, "
                      "3 {Mapowanie cieni}'") &&
           TwAddVarCB(bar, "lightType", typ, SetLightType, GetLightType, &v, "label='Rodzaj'") &&
           TwAddVarCB(bar, "frames", TW_TYPE_INT32, nullptr, GetFrames, &v, "label='Klatki (odczyt)'") &&
           TwAddSeparator(bar, "sep0", nullptr) &&
           TwAddVarRW(bar, "background", TW_TYPE_COLOR3F, v.background, "group='Kolory' label='Tlo' open") &&
           TwAddVarRW(bar, "tint", TW_TYPE_COLOR4F, v.tint, "group='Kolory' label='Z przezroczystoscia'") &&
           TwAddVarCB(bar, "ambient", TW_TYPE_COLOR4F, SetAmbient, GetAmbient, &v,
                      "group='Kolory' label='Otaczajace' noalpha") &&
           TwAddVarRW(bar, "position", position, v.position,
                      "label='Pozycja' open help='Wspolrzedna 'w' jest tylko do odczytu.'") &&
           TwAddVarRW(bar, "spotOpt", spot, v.spot, "group='Reflektor' label='Parametry reflektora' close") &&
           TwAddVarRW(bar, "direction", position, v.position, "group='Reflektor' label='Kierunek' readonly") &&
           TwAddVarRW(bar, "secret", TW_TYPE_FLOAT, &v.secret, "label='Ukryta' hide") &&
           TwAddButton(bar, "reset", Reset, &v, "label='Przywroc wartosci' help='Wartosci poczatkowe.'");
}

// A bar asked for far right, docked at the window's right edge.
bool BuildDockedBar(DemoValues& v)
{
    TwBar* bar = TwNewBar("docked");
    return TwDefine("docked label='Przy prawej krawedzi' size='300 110' position='2000 16' valueswidth=120 "
                    "color='140 40 40' alpha=160") &&
           TwAddVarRW(bar, "factor", TW_TYPE_FLOAT, &v.factor, "label='Ten sam wspolczynnik' step=0.05") &&
           TwAddVarRW(bar, "enabled", TW_TYPE_BOOLCPP, &v.enabled, "label='Przelacznik'") &&
           TwAddVarRW(bar, "background", TW_TYPE_COLOR3F, v.background, "label='Tlo'");
}
}

bool BuildDemoBars(DemoValues& values)
{
    const bool built = BuildKindsBar(values) && BuildDockedBar(values) &&
                       TwDefine("GLOBAL help='Pokaz biblioteki paskow: kazdy rodzaj wiersza.'");
    const char* error = TwGetLastError();
    if (!built)
        std::fprintf(stderr, "tweakdemo: %s\n", error != nullptr ? error : "bars not built");
    return built;
}
