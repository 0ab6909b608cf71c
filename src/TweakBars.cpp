#include "TweakBars.h"

#include "Light.h"
#include "Renderer.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace KorvanaFramework
{
namespace
{
constexpr float MaxSpotCutoff = 90.0f;
constexpr float MaxSpotExponent = 128.0f;

// The light's width for PCSS: as wide as the sphere that marks the light,
// which gives the default scene's floor visible penumbrae a few tenths of a
// unit wide under the tall objects and nearly hard edges where they touch.
constexpr float DefaultLightSize = 0.4f;
// A variance map blurred over 3 texels softens the edge by about one texel
// of the map on each side at little cost; the cut of 0.2 removes the faint
// light that leaks where the default objects overlap as seen from the light.
constexpr std::int32_t DefaultBlur = 3;
constexpr float DefaultBleedingReduction = 0.2f;

// Deletes the bar behind `handle`, if any, and forgets it.
void DeleteBar(TwBar*& handle)
{
    if (handle == nullptr)
        return;
    TwDeleteBar(handle);
    handle = nullptr;
}

// A fresh bar in place of the old one, with its definition.
TwBar* RenewBar(TwBar*& handle, const char* name, const char* definition)
{
    DeleteBar(handle);
    handle = TwNewBar(name);
    TwDefine(definition);
    return handle;
}

// "bar/row show" or "bar/row hide".
void ShowRow(const char* path, bool show)
{
    TwDefine((std::string(path) + (show ? " show" : " hide")).c_str());
}

RendererOptions& OptionsOf(void* clientData)
{
    return *static_cast<RendererOptions*>(clientData);
}

Light& LightOf(void* clientData)
{
    return *static_cast<Light*>(clientData);
}

bool BoolOf(const void* value)
{
    return *static_cast<const bool*>(value);
}

std::int32_t IntOf(const void* value)
{
    std::int32_t number = 0;
    std::memcpy(&number, value, sizeof number);
    return number;
}

// The enumeration of map sizes from the smallest up to `largest`.
std::string MapSizeValues(std::int32_t largest)
{
    std::string values;
    for (std::int32_t size = SmallestMapSize; size <= largest; size *= 2)
        values += (values.empty() ? "" : ", ") + std::to_string(size) + " {" + std::to_string(size) + "}";
    return "val='" + values + "'";
}

// --- bar "main" -----------------------------------------------------------

// The method bar that belongs to a mode; mode None has none.
const char* MethodBar(RendererMode mode)
{
    switch (mode) {
    case RendererMode::Projected:
        return "projected";
    case RendererMode::Volumes:
        return "volume";
    case RendererMode::Mapping:
        return "mapped";
    default:
        return nullptr;
    }
}

void ShowMethodBar(RendererMode mode, bool visible)
{
    if (const char* bar = MethodBar(mode))
        TwDefine((std::string(bar) + (visible ? " visible=true" : " visible=false")).c_str());
}

// Exactly the bar of the current method stays visible.
void TW_CALL SetRendererMode(const void* value, void* clientData)
{
    RendererOptions& options = OptionsOf(clientData);
    const auto mode = static_cast<RendererMode>(IntOf(value));
    if (mode == options.rendererMode)
        return;
    ShowMethodBar(options.rendererMode, false);
    ShowMethodBar(mode, true);
    options.rendererMode = mode;
}

void TW_CALL GetRendererMode(void* value, void* clientData)
{
    const auto mode = static_cast<std::int32_t>(OptionsOf(clientData).rendererMode);
    std::memcpy(value, &mode, sizeof mode);
}

// --- switches that show or hide other rows ------------------------------

template <bool RendererOptions::*Field>
void TW_CALL GetSwitch(void* value, void* clientData)
{
    *static_cast<bool*>(value) = OptionsOf(clientData).*Field;
}

// The darkening's factor and stencil option matter only while it is on.
void TW_CALL SetProjectedDarkening(const void* value, void* clientData)
{
    const bool on = BoolOf(value);
    ShowRow("projected/darkeningFactor", on);
    ShowRow("projected/darkeningStencil", on);
    OptionsOf(clientData).projectedUseDarkening = on;
}

// Infinite volumes have no length.
void TW_CALL SetInfiniteVolume(const void* value, void* clientData)
{
    const bool on = BoolOf(value);
    ShowRow("volume/volumeLenght", !on);
    OptionsOf(clientData).infiniteVolume = on;
}

// While fitting sets the light's near and far planes and a directional
// light's box, the rows that set them by hand only show their values.
void TW_CALL SetFitFrustum(const void* value, void* clientData)
{
    const bool on = BoolOf(value);
    for (const char* row : {"mapped/near", "mapped/far", "mapped/orthoSize", "mapped/orthoOffset"})
        TwDefine((std::string(row) + (on ? " readonly" : " readwrite")).c_str());
    OptionsOf(clientData).fitFrustum = on;
}

void TW_CALL SetVolumeDarkening(const void* value, void* clientData)
{
    const bool on = BoolOf(value);
    ShowRow("volume/darkeningFactor", on);
    OptionsOf(clientData).volumeUseDarkening = on;
}

// The agreement is measured only while the error view is on.
void TW_CALL SetErrorView(const void* value, void* clientData)
{
    const bool on = BoolOf(value);
    ShowRow("main/agreement", on);
    OptionsOf(clientData).errorView = on;
}

// Each filter's own rows are shown while it is chosen.
void TW_CALL SetFiltering(const void* value, void* clientData)
{
    const auto filtering = static_cast<MapFiltering>(IntOf(value));
    ShowRow("mapped/lightSize", filtering == MapFiltering::Pcss);
    ShowRow("mapped/blur", filtering == MapFiltering::Vsm);
    ShowRow("mapped/bleedingReduction", filtering == MapFiltering::Vsm);
    OptionsOf(clientData).filtering = filtering;
}

void TW_CALL GetFiltering(void* value, void* clientData)
{
    const auto filtering = static_cast<std::int32_t>(OptionsOf(clientData).filtering);
    std::memcpy(value, &filtering, sizeof filtering);
}

// The filters offered: the three of every driver, then those it can run.
std::string FilterValues(bool pcss, bool vsm)
{
    return std::string("val='0 {Brak}, 1 {Liniowe 2x2}, 2 {PCF 4x4}") + (pcss ? ", 3 {Miekkie (PCSS)}" : "") +
           (vsm ? ", 4 {Wariancyjne (VSM)}" : "") + "'";
}

// --- bar "light" ----------------------------------------------------------

// Whether the driver can render and compare a cube map, as OfferCubeMap was
// last told since the bar was built with the row hidden; the row is offered
// for point lights only, the one kind that shines in every direction.
bool cubeMapSupported = false;

void ShowCubeMapRow(LightType type)
{
    if (cubeMapSupported)
        ShowRow("mapped/cubeMap", type == LightType::Point);
}

void TW_CALL ToggleLight(void* clientData)
{
    Light& light = LightOf(clientData);
    light.enabled = !light.enabled;
    if (light.enabled)
        glEnable(GL_LIGHT0);
    else
        glDisable(GL_LIGHT0);
    light.changed = true;
}

// The spot's rows are shown for a spot only; a directional light sits at
// infinity (w 0), the others at a point (w 1).
void TW_CALL SetLightType(const void* value, void* clientData)
{
    Light& light = LightOf(clientData);
    const auto type = static_cast<LightType>(IntOf(value));
    const bool spot = type == LightType::Spot;
    for (const char* row : {"light/angle", "light/direction", "light/spotOpt", "light/Reflektor"})
        ShowRow(row, spot);
    ShowCubeMapRow(type);
    if (type == light.lightType)
        return;
    light.lightType = type;
    light.position[3] = type == LightType::Directional ? 0.0f : 1.0f;
    light.changed = true;
}

void TW_CALL GetLightType(void* value, void* clientData)
{
    const auto type = static_cast<std::int32_t>(LightOf(clientData).lightType);
    std::memcpy(value, &type, sizeof type);
}

// A position at infinity makes the light directional.
void TW_CALL SetPosition(const void* value, void* clientData)
{
    Light& light = LightOf(clientData);
    std::memcpy(light.position.data(), value, sizeof light.position);
    if (light.position[3] == 0.0f && light.lightType != LightType::Directional) {
        light.lightType = LightType::Directional;
        light.changed = true;
        ShowCubeMapRow(light.lightType);
    }
}

void TW_CALL SetAngle(const void* value, void* clientData)
{
    float angles[2];
    std::memcpy(angles, value, sizeof angles);
    LightOf(clientData).SetAngles(angles[0], angles[1]);
}

void TW_CALL GetAngle(void* value, void* clientData)
{
    const Light& light = LightOf(clientData);
    const float angles[2] = {light.horizontalAngle, light.verticalAngle};
    std::memcpy(value, angles, sizeof angles);
}

// Shown as a position with w 1.
void TW_CALL GetDirection(void* value, void* clientData)
{
    const Vec3& direction = LightOf(clientData).direction;
    const float shown[4] = {direction[0], direction[1], direction[2], 1.0f};
    std::memcpy(value, shown, sizeof shown);
}

// The cone opens at most to a half-space; GL takes exponents up to 128.
void TW_CALL SetSpotOptions(const void* value, void* clientData)
{
    Light& light = LightOf(clientData);
    float spot[2];
    std::memcpy(spot, value, sizeof spot);
    light.spotCutoff = std::clamp(spot[0], 0.0f, MaxSpotCutoff);
    light.changed = true;
    light.spotExponent = std::clamp(spot[1], 0.0f, MaxSpotExponent);
}

void TW_CALL GetSpotOptions(void* value, void* clientData)
{
    const Light& light = LightOf(clientData);
    const float spot[2] = {light.spotCutoff, light.spotExponent};
    std::memcpy(value, spot, sizeof spot);
}

// Colours keep all four components; the bar edits RGB only, so alpha stays.
template <Vec4 Light::*Field, bool MarksChange>
void TW_CALL SetVec4(const void* value, void* clientData)
{
    Light& light = LightOf(clientData);
    std::memcpy((light.*Field).data(), value, sizeof(Vec4));
    if (MarksChange)
        light.changed = true;
}

template <Vec4 Light::*Field>
void TW_CALL GetVec4(void* value, void* clientData)
{
    std::memcpy(value, (LightOf(clientData).*Field).data(), sizeof(Vec4));
}

void TW_CALL SetLowDiffuse(const void* value, void* clientData)
{
    std::memcpy(&LightOf(clientData).lowDiffuse, value, sizeof(float));
}

void TW_CALL GetLowDiffuse(void* value, void* clientData)
{
    std::memcpy(value, &LightOf(clientData).lowDiffuse, sizeof(float));
}
}

void CreateMainBar(RendererOptions& options)
{
    TwBar* bar = RenewBar(options.mainBar, "main",
                          "main label='Okno glowne' size='350 160' color='18 141 18' alpha=64 valueswidth=120");
    options.rendererMode = RendererMode::None;
    const TwType modeType = TwDefineEnum("rendererMode", nullptr, 0);
    TwAddVarCB(bar, "rederingMode", modeType, SetRendererMode, GetRendererMode, &options,
               "label='Metoda rysowania cieni' val='0 {Brak cieni}, 1 {Rzutowanie cieni}, 2 {Cienie objetosciowe}, "
               "3 {Mapowanie cieni}' help='Pozwala wybrac metode generowania cieni'");
    options.backgroundColor = {0.0f, 0.0f, 0.0f};
    TwAddVarRW(bar, "backgroundColor", TW_TYPE_COLOR3F, options.backgroundColor.data(),
               "label='Kolor tla' help='Pozwala ustawic kolor tla obrazu.'");
    options.frameMilliseconds = 0.0f;
    TwAddVarRW(bar, "frameTime", TW_TYPE_FLOAT, &options.frameMilliseconds,
               "label='Czas klatki [ms]' readonly help='Sredni czas jednej klatki z ostatniego pol sekundy, "
               "rysowanie i wyswietlenie razem.'");
    options.framesPerSecond = 0.0f;
    TwAddVarRW(bar, "framesPerSecond", TW_TYPE_FLOAT, &options.framesPerSecond,
               "label='Klatki na sekunde' readonly help='Liczba klatek na sekunde z ostatniego pol sekundy.'");
    options.errorView = false;
    options.agreementPercent = 0.0f;
    if (options.errorViewOffered) {
        TwAddVarCB(bar, "errorView", TW_TYPE_BOOLCPP, SetErrorView, GetSwitch<&RendererOptions::errorView>,
                   &options,
                   "label='Porownanie z dokladnym cieniem' true='Wlaczone' false='Wylaczone' help='Rysuje w tej "
                   "samej klatce dokladny twardy cien (bryly cieni depth-fail z nieskonczona frusta) i zabarwia "
                   "powierzchnie oswietlane przez swiatlo tam, gdzie wybrana metoda sie z nim nie zgadza. "
                   "Purpurowy: metoda zacienia miejsce, do ktorego dociera swiatlo. Zielony: metoda oswietla "
                   "miejsce, ktore lezy w cieniu. Metoda miekka zacienia piksel, gdy dostaje on mniej niz "
                   "polowe swiatla.'");
        TwAddVarRW(bar, "agreement", TW_TYPE_FLOAT, &options.agreementPercent,
                   "label='Zgodnosc [%]' readonly hide help='Odsetek widocznych pikseli powierzchni zwroconych "
                   "do swiatla, ktore wybrana metoda oswietla lub zacienia tak samo jak dokladny cien.'");
    }
    TwDefine("GLOBAL help='Korvana pokazuje trzy metody rysowania cieni w czasie rzeczywistym: rzutowanie "
             "cieni na plaszczyzne, cienie objetosciowe z buforem szablonowym oraz mapowanie cieni. Metode "
             "wybiera sie w oknie glownym, a jej opcje w oknie metody. Lewy przycisk myszy obraca widok, "
             "prawy go przesuwa, a srodkowy przybliza i oddala.'");
}

void CreateProjectedBar(RendererOptions& options)
{
    TwBar* bar = RenewBar(options.projectedBar, "projected",
                          "projected label='Opcje rzutowania cieni' size='350 130' valueswidth=160 visible=false "
                          "position='2000 16' color='18 141 18' alpha=64 ");
    options.drawObjects = true;
    TwAddVarRW(bar, "drawObjects", TW_TYPE_BOOLCPP, &options.drawObjects,
               "label='Rysowanie obiektow' true='Wlaczone' false='Wylaczone' help='Pozwala wylaczyc rysowanie "
               "obiektow sceny dzieki czemu widoczne sa same cienie.'");
    options.projectedPolygonOffset = -10.0f;
    TwAddVarRW(bar, "polygonOffset", TW_TYPE_FLOAT, &options.projectedPolygonOffset,
               "label='Przesuniecie z-bufora' help='Pozwala ustawic przesuniecie wartosci w z-buforze. Zapobiega "
               "to migotaniu oraz przenikaniu cienia na powierzchi obiektow.'");
    options.projectedUseDarkening = false;
    TwAddVarCB(bar, "useDarkening", TW_TYPE_BOOLCPP, SetProjectedDarkening,
               GetSwitch<&RendererOptions::projectedUseDarkening>, &options,
               "label='Wl/Wyl' group='Przyciemnianie' true='Wlaczone' false='Wylaczone' help='Wybor pomiedzy "
               "rysowaniem calkowicie czarnych cieni lub przyciemnianiem.'");
    options.projectedDarkeningFactor = 0.5f;
    TwAddVarRW(bar, "darkeningFactor", TW_TYPE_FLOAT, &options.projectedDarkeningFactor,
               "label='Wspolczynnik' group='Przyciemnianie' step=0.01 min=0.0f max=1.0f help='Okresla skladowa "
               "alfa koloru cieni. Pozwala regulowac stopien przyciemniania zacienionych obszarow.' hide");
    options.darkeningStencil = true;
    TwAddVarRW(bar, "darkeningStencil", TW_TYPE_BOOLCPP, &options.darkeningStencil,
               "label='Bufor szablonowy' group='Przyciemnianie' true='Wlaczone' false='Wylaczone' help='Wlacza "
               "lub wylacza uzycie bufora szablonowego. Wlaczenie zapobiega nakladaniu sie fragmentow cienia "
               "tego samego obiektu.' hide");
}

void CreateVolumeBar(RendererOptions& options)
{
    TwBar* bar = RenewBar(options.volumeBar, "volume",
                          "volume label='Opcje cieni objetosciowych' size='360 200' valueswidth=160 visible=false "
                          "position='2000 16' color='18 141 18' alpha=64 ");
    options.stencilOperation = 0;
    const TwType stencilType = TwDefineEnum("stencilModeT", nullptr, 0);
    TwAddVarRW(bar, "stencilOperation", stencilType, &options.stencilOperation,
               "label='Typ operacji na szablonie' val='0 {Depth-Pass}, 1 {Depth-Fail}' help='Wybor sposobu "
               "wyznaczania cieni przy pomocy bufora szablonowego. Stencil-pass zlicza w buforze szablonowym te "
               "czesci bryl, ktore przejda pozytywnie test glebokosci czyli te, ktore sa widoczne. Stencil-fail "
               "dziala odwrotnie i zlicza niewidoczne czesci bryl. Metoda stencil-pass zawodzi w momencie gdy "
               "obserwator znajduje sie wewnatrz cienia, natomiast metoda stencil-fail jest czula na obcinanie "
               "bryl przez tylna plaszczyzne frusty.'");
    options.infiniteFrustum = false;
    TwAddVarRW(bar, "infiniteFrustum", TW_TYPE_BOOLCPP, &options.infiniteFrustum,
               "label='Nieskonczona frusta' true='Wlaczone' false='Wylaczone' help='Wlaczenie sprawia, ze "
               "dalsza plaszczyzna obcinania znajduje sie w nieskonczonej odleglosci od obserwatora. Zapobiega "
               "to przycinaniu bryl cieni i tym samym bledom jakie moga wystapic w takim przypadku podczas "
               "stosowania algorytmu depth-fail.'");
    options.drawVolumes = false;
    TwAddVarRW(bar, "drawVolumes", TW_TYPE_BOOLCPP, &options.drawVolumes,
               "label='Rysowanie bryl cieni' true='Wlaczone' false='Wylaczone' help='Po wlaczeniu widoczne sa "
               "polprzezroczyste bryly cieni.'");
    options.infiniteVolume = true;
    TwAddVarCB(bar, "infiniteVolume", TW_TYPE_BOOLCPP, SetInfiniteVolume,
               GetSwitch<&RendererOptions::infiniteVolume>, &options,
               "label='Nieskonczonie dlugie bryly' group='Rodzaj bryl' true='Wlaczone' false='Wylaczone' "
               "help='Nieskonczone bryly prawidlowo odwzorowuja zacienione obszary jednak moga zostac przyciete "
               "przez fruste.'");
    options.volumeLenght = 100.0f;
    TwAddVarRW(bar, "volumeLenght", TW_TYPE_FLOAT, &options.volumeLenght,
               "label='Dlugosc bryl' group='Rodzaj bryl' min=0 hide help='Reguluje dlugosc bryl cieni.'");
    options.volumeUseDarkening = false;
    TwAddVarCB(bar, "useDarkening", TW_TYPE_BOOLCPP, SetVolumeDarkening,
               GetSwitch<&RendererOptions::volumeUseDarkening>, &options,
               "label='Wl/Wyl' group='Szybkie przyciemnianie' true='Wlaczone' false='Wylaczone' help='Wlaczenie "
               "pozwala na szybsze renderowanie obrazu poprzez pojedyncze rysowanie sceny i pozniejsze "
               "przyciemnienie zacienionych obszarow. Wylaczenie wymusza rysowanie dwuprzebiegowe osobno dla "
               "swiatla otaczajacego i osobno dla pozostalych skladowych (lepsza jakosc).'");
    options.volumeDarkeningFactor = 0.5f;
    TwAddVarRW(bar, "darkeningFactor", TW_TYPE_FLOAT, &options.volumeDarkeningFactor,
               "label='Poziom przyciemniania' group='Szybkie przyciemnianie' step=0.01 min=0.0f max=1.0f "
               "help='Okresla skladowa alfa koloru cieni. Pozwala regulowac stopien przyciemniania zacienionych "
               "obszarow.' hide");
}

void CreateMappedBar(RendererOptions& options)
{
    TwBar* bar = RenewBar(options.mappedBar, "mapped",
                          "mapped label='Opcje mapowania cieni' size='350 330' valueswidth=160 visible=false "
                          "position='2000 16' color='18 141 18' alpha=64 ");
    options.mappedPolygonOffset = 3.0f;
    TwAddVarRW(bar, "polygonOffset", TW_TYPE_FLOAT, &options.mappedPolygonOffset,
               "label='Przesuniecie z-bufora' step=0.05 help='Przesuniecie wartosci w z-buforze. Odpowiednio "
               "dobrana wartosc pozwala uniknac przenikania sie zacienionych i niezacienionych obszarow "
               "powierzchni obiektu, na ktora zostala nalozona.'");
    options.showFrustum = true;
    TwAddVarRW(bar, "showFrustum", TW_TYPE_BOOLCPP, &options.showFrustum,
               "label='Pokaz fruste' true='Wlaczone' false='Wylaczone' group='Rendering mapy cieni' "
               "help='Wlacza/Wylacza rysowanie frusty ograniczajacej przestrzen podczas renderingu mapy "
               "glebokosci.'");
    options.near = 1.0f;
    TwAddVarRW(bar, "near", TW_TYPE_FLOAT, &options.near,
               "label='Blizsza plaszczyzna' step=0.05 group='Rendering mapy cieni' help='Okresla odleglosc "
               "plaszczyzny rzutowania podczas tworzenia mapy glebokosci. Mniejsza wartosc pozwala objac mapa "
               "obiekty blizsze swiatlu jednak kosztem mniejszej preczji z-bufora.'");
    options.far = 30.0f;
    TwAddVarRW(bar, "far", TW_TYPE_FLOAT, &options.far,
               "label='Dalsza plaszczyzna' step=0.05 group='Rendering mapy cieni' help='Okresla odleglosc "
               "dalszej plaszczyzny obcinania macierzy projekcji podczas tworzenia mapy glebokosci. Wartosc ta "
               "powinna byc tak dobrana aby mapa dosiegala wszystkich widocznych z punktu zrodla swiatla "
               "obiektow sceny.'");
    options.orthoSize = 10.0f;
    TwAddVarRW(bar, "orthoSize", TW_TYPE_FLOAT, &options.orthoSize,
               "label='Szerokosc cienia' step=0.05 group='Rendering mapy cieni' min=0.1 step=0.1 help='Okresla "
               "rozmiar zasiegu swiatla kierunkowego. Jest to konieczne poniewaz podczas generowania mapy "
               "rzutowanie jest rownolegle i tym samym frusta widoku staje sie szescianem.'");
    options.orthoOffset = 5.0f;
    TwAddVarRW(bar, "orthoOffset", TW_TYPE_FLOAT, &options.orthoOffset,
               "label='Cofniecie rzutowania' step=0.05 group='Rendering mapy cieni' step=0.05 help='Przesuniecie "
               "kamery dla swiatla kierunkowego.'");
    options.fitFrustum = false;
    TwAddVarCB(bar, "fitFrustum", TW_TYPE_BOOLCPP, SetFitFrustum, GetSwitch<&RendererOptions::fitFrustum>, &options,
               "label='Dopasowanie frustum' true='Wlaczone' false='Wylaczone' group='Rendering mapy cieni' "
               "help='Wlaczenie dopasowuje w kazdej klatce frustum swiatla do obiektow rzucajacych cien: kierunek "
               "i najwezszy kat widzenia obejmujacy je (dla reflektora nie szerszy niz jego stozek), blizsza "
               "plaszczyzne tuz przed nimi i dalsza za wszystkim, na co moga rzucic cien; dla swiatla "
               "kierunkowego prostopadloscian wokol nich. Mapa obejmuje wtedy same obiekty i cienie sa "
               "dokladniejsze. Plaszczyzny, szerokosc cienia i cofniecie rzutowania sa wtedy tylko do odczytu.'");
    options.mapSize = SmallestMapSize;
    TwAddVarRW(bar, "mapSize", TwDefineEnum("mapSizeT", nullptr, 0), &options.mapSize,
               ("label='Rozdzielczosc mapy' group='Rendering mapy cieni' " + MapSizeValues(LargestOfferedMapSize) +
                " help='Rozmiar mapy glebokosci w tekselach. Wieksza mapa daje ostrzejsze, mniej schodkowe "
                "krawedzie cieni kosztem czasu rysowania i pamieci. Rozmiary wieksze niz pozwala sterownik (lub "
                "okno, gdy brak bufora poza ekranem) nie sa oferowane.'")
                   .c_str());
    options.filtering = MapFiltering::None;
    TwAddVarCB(bar, "filtering", TwDefineEnum("mapFilteringT", nullptr, 0), SetFiltering, GetFiltering, &options,
               ("label='Filtrowanie' group='Rendering mapy cieni' " + FilterValues(false, false) +
                " help='Sposob porownania glebokosci. Brak: jedno porownanie, ostra schodkowa krawedz cienia. "
                "Liniowe 2x2: sterownik laczy liniowo porownania czterech sasiednich tekseli. PCF 4x4: srednia "
                "szesnastu porownan w otoczeniu teksela daje miekka krawedz cienia; na zakrzywionych "
                "powierzchniach moze wymagac wiekszego przesuniecia z-bufora. Miekkie (PCSS): polcien tym "
                "szerszy, im dalej cien pada od rzucajacego go obiektu, wedlug rozmiaru swiatla. Wariancyjne "
                "(VSM): mapa glebokosci i jej kwadratu, rozmyta, z ktorej nierownosc Czebyszewa daje miekka "
                "krawedz; cien jasnieje tam, gdzie obiekty zachodza na siebie. Z mapa szescienna Wariancyjne "
                "(VSM) daje jedno porownanie.'")
                   .c_str());
    options.lightSize = DefaultLightSize;
    TwAddVarRW(bar, "lightSize", TW_TYPE_FLOAT, &options.lightSize,
               "label='Rozmiar swiatla' group='Rendering mapy cieni' min=0 max=5 step=0.05 hide help='Srednica "
               "zrodla swiatla w jednostkach sceny dla filtrowania Miekkie (PCSS); 0 daje ostry cien. Dla "
               "swiatla kierunkowego: przyrost polcienia na jednostke odleglosci od obiektu.'");
    options.blur = DefaultBlur;
    TwAddVarRW(bar, "blur", TW_TYPE_INT32, &options.blur,
               "label='Rozmycie' group='Rendering mapy cieni' min=0 max=31 step=1 hide help='Szerokosc "
               "rozmycia mapy wariancyjnej w tekselach; 0 lub 1 nie rozmywa.'");
    options.bleedingReduction = DefaultBleedingReduction;
    TwAddVarRW(bar, "bleedingReduction", TW_TYPE_FLOAT, &options.bleedingReduction,
               "label='Redukcja przeciekow' group='Rendering mapy cieni' min=0 max=1 step=0.01 hide "
               "help='Odcina najslabsza czesc swiatla mapy wariancyjnej, gdzie obiekty zachodza na siebie i "
               "swiatlo przecieka do cienia; wieksza wartosc daje ostrzejsza krawedz.'");
    options.cubeMap = false;
    cubeMapSupported = false;
    TwAddVarRW(bar, "cubeMap", TW_TYPE_BOOLCPP, &options.cubeMap,
               "label='Mapa szescienna' true='Wlaczone' false='Wylaczone' group='Rendering mapy cieni' hide "
               "help='Swiatlo punktowe rysuje obiekty w szesc map o kacie 90 stopni, po jednej na kazda sciane "
               "szescianu wokol swiatla, wiec cien pada we wszystkich kierunkach. Rozdzielczosc i filtrowanie "
               "dotycza kazdej sciany; filtrowanie Liniowe 2x2 to tu srednia czterech porownan. Oferowana tylko "
               "dla swiatla punktowego, gdy sterownik ma mapy szescienne i programy fragmentow.'");
    options.drawAsTexture = false;
    TwAddVarRW(bar, "drawAsTexture", TW_TYPE_BOOLCPP, &options.drawAsTexture,
               "label='Jako tekstura' group='Podglad mapy cieni' true='Wlaczone' false='Wylaczone' "
               "help='Wlacza/Wylacza nakladanie mapy glebokosci jako tekstury.'");
    options.useMapView = true;
    TwAddVarRW(bar, "useMapView", TW_TYPE_BOOLCPP, &options.useMapView,
               "label='Rysowanie podgladu mapy' group='Podglad mapy cieni' true='Wlaczone' false='Wylaczone' "
               "help='Wlacza/Wylacza rysowanie podgladu mapy cieni.'");
    options.mapViewSize = 0.4f;
    TwAddVarRW(bar, "mapViewSize", TW_TYPE_FLOAT, &options.mapViewSize,
               "label='Wielkosc podgladu' min=0 max=1 group='Podglad mapy cieni' step=0.01 help='Wielkosc "
               "podgladu mapy cieni.'");
}

// A filter the driver cannot run falls back to none.
void OfferFilters(RendererOptions& options, bool pcss, bool vsm)
{
    TwDefine(("mapped/filtering " + FilterValues(pcss, vsm)).c_str());
    if ((options.filtering == MapFiltering::Pcss && !pcss) || (options.filtering == MapFiltering::Vsm && !vsm))
        options.filtering = MapFiltering::None;
}

void OfferCubeMap(RendererOptions& options, bool supported, LightType type)
{
    cubeMapSupported = supported;
    if (!supported) {
        options.cubeMap = false;
        ShowRow("mapped/cubeMap", false);
        return;
    }
    ShowCubeMapRow(type);
}

// A chosen size above the new limit falls back to the largest one offered.
void LimitMapSizes(RendererOptions& options, std::int32_t largest)
{
    TwDefine(("mapped/mapSize " + MapSizeValues(largest)).c_str());
    options.mapSize = std::min(options.mapSize, largest);
}

LightBarTypes DefineLightTypes()
{
    const TwEnumVal types[] = {{static_cast<int>(LightType::Point), "Punktowe"},
                               {static_cast<int>(LightType::Directional), "Kierunkowe"},
                               {static_cast<int>(LightType::Spot), "Reflektor"}};
    const TwStructMember position[] = {{"x", TW_TYPE_FLOAT, 0 * sizeof(float), "step=0.01"},
                                       {"y", TW_TYPE_FLOAT, 1 * sizeof(float), "step=0.01"},
                                       {"z", TW_TYPE_FLOAT, 2 * sizeof(float), "step=0.01"},
                                       {"w", TW_TYPE_FLOAT, 3 * sizeof(float), "step=0.01 readonly"}};
    const TwStructMember angle[] = {{"Kierunek", TW_TYPE_FLOAT, 0, "min=0 max=360 step=1"},
                                    {"Kat padania", TW_TYPE_FLOAT, sizeof(float), "min=-90 max=90 step=1"}};
    const TwStructMember spot[] = {{"Kat stozka swiatla", TW_TYPE_FLOAT, 0, "min=0 max=90 step=0.5"},
                                   {"Eksponent zaniku", TW_TYPE_FLOAT, sizeof(float), "min=0 max=128"}};
    LightBarTypes defined{};
    defined.lightType = TwDefineEnum("Typ", types, 3);
    defined.position = TwDefineStruct("Position", position, 4, sizeof(float[4]), nullptr, nullptr);
    defined.angle = TwDefineStruct("Angle", angle, 2, sizeof(float[2]), nullptr, nullptr);
    defined.spotOptions = TwDefineStruct("SpotOptions", spot, 2, sizeof(float[2]), nullptr, nullptr);
    return defined;
}

void CreateLightBar(RendererOptions& options, Light& light)
{
    options.barLight = nullptr;
    TwBar* bar = RenewBar(options.lightBar, "light",
                          "light label='Swiatlo' size='350 540' position='16 182' valueswidth=180");
    const LightBarTypes types = DefineLightTypes();
    void* const client = &light;
    TwAddButton(bar, "enabled", ToggleLight, client, "label='Wl/Wyl' help='Wlacza/Wylacza swiatlo'");
    TwAddVarCB(bar, "lightType", types.lightType, SetLightType, GetLightType, client,
               "label='Rodzaj' help='Pozwala wybrac rodzaj uzywanego swiatla: punktowe, kierunkowe lub "
               "reflektor. Kierunek swiatla kierunkowego wyznacza jego pozycja w nieskonczonosci. Reflektor "
               "posiada dodatkowe parametry okreslajace katy jego ustawienia.'");
    TwAddSeparator(bar, "lightSep0", nullptr);
    TwAddVarCB(bar, "position", types.position, SetPosition, GetVec4<&Light::position>, client,
               "label='Pozycja' open help='Okresla pozycje zrodla swiatla. Wspolrzedna 'w' jest tylko do "
               "odczytu i ma wartosc 0 w przypadku swiatla kierunkowego lub 1 dla pozostalych swiatel.'");
    TwAddVarCB(bar, "angle", types.angle, SetAngle, GetAngle, client,
               "group='Reflektor' label='Kat padania promieni' open hide help='Okresla kat odchylenia "
               "reflektora od poziomu (plaszczyzny XZ).'");
    TwAddVarCB(bar, "direction", types.position, nullptr, GetDirection, client,
               "group='Reflektor' label='Kierunek reflektora' readonly close hide");
    TwAddVarCB(bar, "spotOpt", types.spotOptions, SetSpotOptions, GetSpotOptions, client,
               "group='Reflektor' label='Parametry reflektora' open hide help='Okresla kat odchylenia "
               "reflektora od osi Z czyli jego kierunek w poziomie.'");
    TwDefine("light/Reflektor hide");
    TwAddVarCB(bar, "globalAmbient", TW_TYPE_COLOR4F, SetVec4<&Light::globalAmbient, false>,
               GetVec4<&Light::globalAmbient>, client,
               "group='Kolory' label='Globalne otaczajace' noalpha open help='Pozwala zmienic kolor globalnego "
               "swiatla otaczajacego.'");
    TwAddSeparator(bar, "lightSep3", "group='Kolory' ");
    TwAddVarCB(bar, "ambient", TW_TYPE_COLOR4F, SetVec4<&Light::ambient, true>, GetVec4<&Light::ambient>,
               client,
               "group='Kolory' label='Otaczajace' noalpha open help='Umozliwia zmiane koloru swiatla "
               "otaczajacego w zasiegu jego zrodla.'");
    TwAddVarCB(bar, "lowDiffuse", TW_TYPE_FLOAT, SetLowDiffuse, GetLowDiffuse, client,
               "group='Kolory' label='Slabe rozproszone' min=0 max=1 step=0.01 help='Pozwala okreslic jaka "
               "czesc swiatla rozproszonego ma pozostac w zacienionych obszarach.'");
    TwAddVarCB(bar, "diffuse", TW_TYPE_COLOR4F, SetVec4<&Light::diffuse, true>, GetVec4<&Light::diffuse>,
               client, "group='Kolory' label='Rozproszone' noalpha open help='Okresla kolor swiatla rozproszonego.'");
    TwAddVarCB(bar, "specular", TW_TYPE_COLOR4F, SetVec4<&Light::specular, true>, GetVec4<&Light::specular>,
               client,
               "group='Kolory' label='Odbite' noalpha open help='Okresla kolor swiatla odbitego czyli "
               "rozblysku.'");
    options.barLight = &light;
}

void DeleteBars(RendererOptions& options)
{
    DeleteBar(options.lightBar);
    options.barLight = nullptr;
    DeleteBar(options.mainBar);
    DeleteBar(options.projectedBar);
    DeleteBar(options.volumeBar);
    DeleteBar(options.mappedBar);
    if (!options.tweakBarsReady)
        return;
    TwWindowSize(0, 0);
    TwTerminate();
    options.tweakBarsReady = false;
}
}
