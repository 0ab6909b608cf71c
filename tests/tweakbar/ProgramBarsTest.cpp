// The program's five bars built from its own definition strings: every one
// must be taken, and the bars must start as the program expects them.
#include "TweakBarFixture.h"

#include <array>
#include <map>

using namespace TweakBarTesting;

namespace
{
struct BarDefinition {
    const char* bar;
    const char* definition;
};

enum class Row { Variable, Button, Separator, Define };

struct RowDefinition {
    const char* bar;
    Row kind;
    const char* name;
    const char* type;  // built-in type or a type the program defines
    const char* definition;
};

// The definitions the program hands over, exactly as it writes them.
const BarDefinition programBars[] = {
    {"main", "main label='Okno glowne' size='350 130' color='18 141 18' alpha=64 valueswidth=160"},
    {"projected", "projected label='Opcje rzutowania cieni' size='350 130' valueswidth=160 visible=false position='2000 16' color='18 141 18' alpha=64 "},
    {"volume", "volume label='Opcje cieni objetosciowych' size='360 200' valueswidth=160 visible=false position='2000 16' color='18 141 18' alpha=64 "},
    {"mapped", "mapped label='Opcje mapowania cieni' size='350 250' valueswidth=160 visible=false position='2000 16' color='18 141 18' alpha=64 "},
    {"light", "light label='Swiatlo' size='350 540' position='16 182' valueswidth=180"},
};

const RowDefinition programRows[] = {
    {"main", Row::Variable, "rederingMode", "rendererMode",
     "label='Metoda rysowania cieni' val='0 {Brak cieni}, 1 {Rzutowanie cieni}, 2 {Cienie objetosciowe}, 3 {Mapowanie cieni}' help='Pozwala wybrac metode generowania cieni'"},
    {"main", Row::Variable, "backgroundColor", "TW_TYPE_COLOR3F",
     "label='Kolor tla' help='Pozwala ustawic kolor tla obrazu.'"},
    {"projected", Row::Variable, "drawObjects", "TW_TYPE_BOOLCPP",
     "label='Rysowanie obiektow' true='Wlaczone' false='Wylaczone' help='Pozwala wylaczyc rysowanie obiektow sceny dzieki czemu widoczne sa same cienie.'"},
    {"projected", Row::Variable, "polygonOffset", "TW_TYPE_FLOAT",
     "label='Przesuniecie z-bufora' help='Pozwala ustawic przesuniecie wartosci w z-buforze. Zapobiega to migotaniu oraz przenikaniu cienia na powierzchi obiektow.'"},
    {"projected", Row::Variable, "useDarkening", "TW_TYPE_BOOLCPP",
     "label='Wl/Wyl' group='Przyciemnianie' true='Wlaczone' false='Wylaczone' help='Wybor pomiedzy rysowaniem calkowicie czarnych cieni lub przyciemnianiem.'"},
    {"projected", Row::Variable, "darkeningFactor", "TW_TYPE_FLOAT",
     "label='Wspolczynnik' group='Przyciemnianie' step=0.01 min=0.0f max=1.0f help='Okresla skladowa alfa koloru cieni. Pozwala regulowac stopien przyciemniania zacienionych obszarow.' hide"},
    {"projected", Row::Variable, "darkeningStencil", "TW_TYPE_BOOLCPP",
     "label='Bufor szablonowy' group='Przyciemnianie' true='Wlaczone' false='Wylaczone' help='Wlacza lub wylacza uzycie bufora szablonowego. Wlaczenie zapobiega nakladaniu sie fragmentow cienia tego samego obiektu.' hide"},
    {"volume", Row::Variable, "stencilOperation", "stencilModeT",
     "label='Typ operacji na szablonie' val='0 {Depth-Pass}, 1 {Depth-Fail}' help='Wybor sposobu wyznaczania cieni przy pomocy bufora szablonowego. Stencil-pass zlicza w buforze szablonowym te czesci bryl, ktore przejda pozytywnie test glebokosci czyli te, ktore sa widoczne. Stencil-fail dziala odwrotnie i zlicza niewidoczne czesci bryl. Metoda stencil-pass zawodzi w momencie gdy obserwator znajduje sie wewnatrz cienia, natomiast metoda stencil-fail jest czula na obcinanie bryl przez tylna plaszczyzne frusty.'"},
    {"volume", Row::Variable, "infiniteFrustum", "TW_TYPE_BOOLCPP",
     "label='Nieskonczona frusta' true='Wlaczone' false='Wylaczone' help='Wlaczenie sprawia, ze dalsza plaszczyzna obcinania znajduje sie w nieskonczonej odleglosci od obserwatora. Zapobiega to przycinaniu bryl cieni i tym samym bledom jakie moga wystapic w takim przypadku podczas stosowania algorytmu depth-fail.'"},
    {"volume", Row::Variable, "drawVolumes", "TW_TYPE_BOOLCPP",
     "label='Rysowanie bryl cieni' true='Wlaczone' false='Wylaczone' help='Po wlaczeniu widoczne sa polprzezroczyste bryly cieni.'"},
    {"volume", Row::Variable, "infiniteVolume", "TW_TYPE_BOOLCPP",
     "label='Nieskonczonie dlugie bryly' group='Rodzaj bryl' true='Wlaczone' false='Wylaczone' help='Nieskonczone bryly prawidlowo odwzorowuja zacienione obszary jednak moga zostac przyciete przez fruste.'"},
    {"volume", Row::Variable, "volumeLenght", "TW_TYPE_FLOAT",
     "label='Dlugosc bryl' group='Rodzaj bryl' min=0 hide help='Reguluje dlugosc bryl cieni.'"},
    {"volume", Row::Variable, "useDarkening", "TW_TYPE_BOOLCPP",
     "label='Wl/Wyl' group='Szybkie przyciemnianie' true='Wlaczone' false='Wylaczone' help='Wlaczenie pozwala na szybsze renderowanie obrazu poprzez pojedyncze rysowanie sceny i pozniejsze przyciemnienie zacienionych obszarow. Wylaczenie wymusza rysowanie dwuprzebiegowe osobno dla swiatla otaczajacego i osobno dla pozostalych skladowych (lepsza jakosc).'"},
    {"volume", Row::Variable, "darkeningFactor", "TW_TYPE_FLOAT",
     "label='Poziom przyciemniania' group='Szybkie przyciemnianie' step=0.01 min=0.0f max=1.0f help='Okresla skladowa alfa koloru cieni. Pozwala regulowac stopien przyciemniania zacienionych obszarow.' hide"},
    {"mapped", Row::Variable, "polygonOffset", "TW_TYPE_FLOAT",
     "label='Przesuniecie z-bufora' step=0.05 help='Przesuniecie wartosci w z-buforze. Odpowiednio dobrana wartosc pozwala uniknac przenikania sie zacienionych i niezacienionych obszarow powierzchni obiektu, na ktora zostala nalozona.'"},
    {"mapped", Row::Variable, "showFrustum", "TW_TYPE_BOOLCPP",
     "label='Pokaz fruste' true='Wlaczone' false='Wylaczone' group='Rendering mapy cieni' help='Wlacza/Wylacza rysowanie frusty ograniczajacej przestrzen podczas renderingu mapy glebokosci.'"},
    {"mapped", Row::Variable, "near", "TW_TYPE_FLOAT",
     "label='Blizsza plaszczyzna' step=0.05 group='Rendering mapy cieni' help='Okresla odleglosc plaszczyzny rzutowania podczas tworzenia mapy glebokosci. Mniejsza wartosc pozwala objac mapa obiekty blizsze swiatlu jednak kosztem mniejszej preczji z-bufora.'"},
    {"mapped", Row::Variable, "far", "TW_TYPE_FLOAT",
     "label='Dalsza plaszczyzna' step=0.05 group='Rendering mapy cieni' help='Okresla odleglosc dalszej plaszczyzny obcinania macierzy projekcji podczas tworzenia mapy glebokosci. Wartosc ta powinna byc tak dobrana aby mapa dosiegala wszystkich widocznych z punktu zrodla swiatla obiektow sceny.'"},
    {"mapped", Row::Variable, "orthoSize", "TW_TYPE_FLOAT",
     "label='Szerokosc cienia' step=0.05 group='Rendering mapy cieni' min=0.1 step=0.1 help='Okresla rozmiar zasiegu swiatla kierunkowego. Jest to konieczne poniewaz podczas generowania mapy rzutowanie jest rownolegle i tym samym frusta widoku staje sie szescianem.'"},
    {"mapped", Row::Variable, "orthoOffset", "TW_TYPE_FLOAT",
     "label='Cofniecie rzutowania' step=0.05 group='Rendering mapy cieni' step=0.05 help='Przesuniecie kamery dla swiatla kierunkowego.'"},
    {"mapped", Row::Variable, "drawAsTexture", "TW_TYPE_BOOLCPP",
     "label='Jako tekstura' group='Podglad mapy cieni' true='Wlaczone' false='Wylaczone' help='Wlacza/Wylacza nakladanie mapy glebokosci jako tekstury.'"},
    {"mapped", Row::Variable, "useMapView", "TW_TYPE_BOOLCPP",
     "label='Rysowanie podgladu mapy' group='Podglad mapy cieni' true='Wlaczone' false='Wylaczone' help='Wlacza/Wylacza rysowanie podgladu mapy cieni.'"},
    {"mapped", Row::Variable, "mapViewSize", "TW_TYPE_FLOAT",
     "label='Wielkosc podgladu' min=0 max=1 group='Podglad mapy cieni' step=0.01 help='Wielkosc podgladu mapy cieni.'"},
    {"light", Row::Button, "enabled", "",
     "label='Wl/Wyl' help='Wlacza/Wylacza swiatlo'"},
    {"light", Row::Variable, "lightType", "Typ",
     "label='Rodzaj' help='Pozwala wybrac rodzaj uzywanego swiatla: punktowe, kierunkowe lub reflektor. Kierunek swiatla kierunkowego wyznacza jego pozycja w nieskonczonosci. Reflektor posiada dodatkowe parametry okreslajace katy jego ustawienia.'"},
    {"light", Row::Separator, "lightSep0", "",
     ""},
    {"light", Row::Variable, "position", "Position",
     "label='Pozycja' open help='Okresla pozycje zrodla swiatla. Wspolrzedna 'w' jest tylko do odczytu i ma wartosc 0 w przypadku swiatla kierunkowego lub 1 dla pozostalych swiatel.'"},
    {"light", Row::Variable, "angle", "Angle",
     "group='Reflektor' label='Kat padania promieni' open hide help='Okresla kat odchylenia reflektora od poziomu (plaszczyzny XZ).'"},
    {"light", Row::Variable, "direction", "Position",
     "group='Reflektor' label='Kierunek reflektora' readonly close hide"},
    {"light", Row::Variable, "spotOpt", "SpotOptions",
     "group='Reflektor' label='Parametry reflektora' open hide help='Okresla kat odchylenia reflektora od osi Z czyli jego kierunek w poziomie.'"},
    {"light", Row::Define, "", "",
     "light/Reflektor hide"},
    {"light", Row::Variable, "globalAmbient", "TW_TYPE_COLOR4F",
     "group='Kolory' label='Globalne otaczajace' noalpha open help='Pozwala zmienic kolor globalnego swiatla otaczajacego.'"},
    {"light", Row::Separator, "lightSep3", "",
     "group='Kolory' "},
    {"light", Row::Variable, "ambient", "TW_TYPE_COLOR4F",
     "group='Kolory' label='Otaczajace' noalpha open help='Umozliwia zmiane koloru swiatla otaczajacego w zasiegu jego zrodla.'"},
    {"light", Row::Variable, "lowDiffuse", "TW_TYPE_FLOAT",
     "group='Kolory' label='Slabe rozproszone' min=0 max=1 step=0.01 help='Pozwala okreslic jaka czesc swiatla rozproszonego ma pozostac w zacienionych obszarach.'"},
    {"light", Row::Variable, "diffuse", "TW_TYPE_COLOR4F",
     "group='Kolory' label='Rozproszone' noalpha open help='Okresla kolor swiatla rozproszonego.'"},
    {"light", Row::Variable, "specular", "TW_TYPE_COLOR4F",
     "group='Kolory' label='Odbite' noalpha open help='Okresla kolor swiatla odbitego czyli rozblysku.'"},
};

void TW_CALL NoPress(void*) {}

// The program's own types: two enumerations that take their values from
// their variable, the light types and three structures of floats.
std::map<std::string, TwType> DefineTypes()
{
    const TwEnumVal lightTypes[] = {{0, "Punktowe"}, {1, "Kierunkowe"}, {2, "Reflektor"}};
    const TwStructMember position[] = {{"x", TW_TYPE_FLOAT, 0, "step=0.01"},
                                       {"y", TW_TYPE_FLOAT, 4, "step=0.01"},
                                       {"z", TW_TYPE_FLOAT, 8, "step=0.01"},
                                       {"w", TW_TYPE_FLOAT, 12, "step=0.01 readonly"}};
    const TwStructMember angle[] = {{"Kierunek", TW_TYPE_FLOAT, 0, "min=0 max=360 step=1"},
                                    {"Kat padania", TW_TYPE_FLOAT, 4, "min=-90 max=90 step=1"}};
    const TwStructMember spot[] = {{"Kat stozka swiatla", TW_TYPE_FLOAT, 0, "min=0 max=90 step=0.5"},
                                   {"Eksponent zaniku", TW_TYPE_FLOAT, 4, "min=0 max=128"}};
    return {
        {"TW_TYPE_BOOLCPP", TW_TYPE_BOOLCPP},
        {"TW_TYPE_FLOAT", TW_TYPE_FLOAT},
        {"TW_TYPE_COLOR3F", TW_TYPE_COLOR3F},
        {"TW_TYPE_COLOR4F", TW_TYPE_COLOR4F},
        {"rendererMode", TwDefineEnum("rendererMode", nullptr, 0)},
        {"stencilModeT", TwDefineEnum("stencilModeT", nullptr, 0)},
        {"Typ", TwDefineEnum("Typ", lightTypes, 3)},
        {"Position", TwDefineStruct("Position", position, 4, sizeof(float[4]), nullptr, nullptr)},
        {"Angle", TwDefineStruct("Angle", angle, 2, sizeof(float[2]), nullptr, nullptr)},
        {"SpotOptions", TwDefineStruct("SpotOptions", spot, 2, sizeof(float[2]), nullptr, nullptr)},
    };
}

class ProgramBarsTest : public TweakBarTest
{
protected:
    // Builds every bar and row; storage is large enough for any of the types.
    void Build()
    {
        std::map<std::string, TwType> types = DefineTypes();
        std::map<std::string, TwBar*> bars;
        for (const BarDefinition& bar : programBars) {
            bars[bar.bar] = TwNewBar(bar.bar);
            ASSERT_EQ(TwDefine(bar.definition), 1) << LastError();
        }
        for (const RowDefinition& row : programRows) {
            TwBar* bar = bars[row.bar];
            float* storage = values[std::string(row.bar) + "/" + row.name].data();
            switch (row.kind) {
            case Row::Variable:
                ASSERT_NE(types[row.type], TW_TYPE_UNDEF) << row.type;
                ASSERT_EQ(TwAddVarRW(bar, row.name, types[row.type], storage, row.definition), 1)
                    << row.name << ": " << LastError();
                break;
            case Row::Button:
                ASSERT_EQ(TwAddButton(bar, row.name, NoPress, nullptr, row.definition), 1) << LastError();
                break;
            case Row::Separator:
                ASSERT_EQ(TwAddSeparator(bar, row.name, row.definition), 1) << LastError();
                break;
            case Row::Define:
                ASSERT_EQ(TwDefine(row.definition), 1) << LastError();
                break;
            }
        }
        ASSERT_EQ(TwDefine("GLOBAL help='Korvana pokazuje trzy metody rysowania cieni.'"), 1);
    }

    std::map<std::string, std::array<float, 4>> values;
};
}

TEST_F(ProgramBarsTest, EveryDefinitionIsTaken)
{
    Build();
    for (const RowDefinition& row : programRows) {
        if (row.kind != Row::Define) {
            EXPECT_TRUE(GetRow(std::string(row.bar) + "/" + row.name).has_value()) << row.name;
        }
    }
    EXPECT_EQ(GlobalHelp(), "Korvana pokazuje trzy metody rysowania cieni.");
}

TEST_F(ProgramBarsTest, BarsStartAsTheProgramExpects)
{
    Build();
    TwWindowSize(1024, 768);
    EXPECT_TRUE(IsShown("main"));
    EXPECT_TRUE(IsShown("light"));
    for (const char* bar : {"projected", "volume", "mapped"}) {
        EXPECT_FALSE(IsShown(bar)) << bar;
        EXPECT_FLOAT_EQ(GetBar(bar)->right, 1024) << bar;
        EXPECT_FLOAT_EQ(GetBar(bar)->top, 16) << bar;
    }
    for (const char* row : {"projected/darkeningFactor", "projected/darkeningStencil", "volume/volumeLenght",
                            "volume/darkeningFactor", "light/angle", "light/direction", "light/spotOpt"})
        EXPECT_FALSE(GetRow(row)->visible) << row;
    EXPECT_FALSE(GetRow("light/Reflektor")->visible);
    EXPECT_TRUE(IsShown("light/globalAmbient"));

    EXPECT_EQ(GetRow("main/rederingMode")->enumValues.size(), 4u);
    EXPECT_EQ(GetRow("volume/stencilOperation")->enumValues[1].second, "Depth-Fail");
    EXPECT_EQ(GetRow("mapped/orthoSize")->step, 0.1);
    EXPECT_EQ(GetRow("projected/darkeningFactor")->max, 1.0);
    EXPECT_TRUE(GetRow("light/direction")->readonly);
    EXPECT_TRUE(GetRow("light/position/w")->readonly);
    EXPECT_TRUE(GetRow("light/ambient")->noalpha);
    EXPECT_NE(GetRow("light/position")->help.find("Wspolrzedna 'w' jest tylko do odczytu"), std::string::npos);
    EXPECT_EQ(RowNames("light/Kolory"),
              (std::vector<std::string>{"globalAmbient", "lightSep3", "ambient", "lowDiffuse", "diffuse", "specular"}));
}

TEST_F(ProgramBarsTest, ModeSwitchShowsOneMethodBar)
{
    Build();
    ASSERT_EQ(TwDefine("volume visible=true"), 1);
    EXPECT_TRUE(IsShown("volume"));
    ASSERT_EQ(TwDefine("volume visible=false"), 1);
    ASSERT_EQ(TwDefine("mapped visible=true"), 1);
    EXPECT_FALSE(IsShown("volume"));
    EXPECT_TRUE(IsShown("mapped"));
    for (const char* definition : {"light/angle show", "light/direction show", "light/spotOpt show",
                                   "light/Reflektor show"})
        ASSERT_EQ(TwDefine(definition), 1) << definition;
    EXPECT_TRUE(IsShown("light/spotOpt"));
}

TEST_F(ProgramBarsTest, BarsDrawWithoutAContext)
{
    Build();
    TwWindowSize(1024, 768);
    TwDefine("volume visible=true");
    TwDefine("light/Reflektor show");
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(TwDraw(), 1);
    EXPECT_TRUE(ValueRectangle("main/rederingMode").has_value());
    EXPECT_TRUE(ValueRectangle("volume/stencilOperation").has_value());
    EXPECT_FALSE(ValueRectangle("mapped/near").has_value());
}
