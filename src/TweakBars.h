// The program's five tweak bars: "main" (shadow method and background),
// "projected", "volume" and "mapped" (the options of each method, only the
// current method's bar visible) and "light" (the light record). Most rows are
// bound straight to an option; rows whose change shows or hides other rows,
// or keeps the light consistent, go through the callbacks of TweakBars.cpp.
#pragma once

#include "tweakbar/TweakBar.h"

#include <cstdint>

namespace KorvanaFramework
{
class Light;
enum class LightType : std::int32_t;
struct RendererOptions;

// The types the light bar's rows use.
struct LightBarTypes
{
    TwType lightType;    // enumeration "Typ": the three kinds of light
    TwType position;     // structure "Position": x, y, z and a read-only w
    TwType angle;        // structure "Angle": heading and elevation of a spot
    TwType spotOptions;  // structure "SpotOptions": cone angle and exponent
};

// Each builder replaces its bar if it exists, then assigns the default of
// every option right before adding the row that shows it.
void CreateMainBar(RendererOptions& options);
void CreateProjectedBar(RendererOptions& options);
void CreateVolumeBar(RendererOptions& options);
void CreateMappedBar(RendererOptions& options);
// Offers in "mapped/mapSize" only the sizes up to `largest` and brings a
// larger chosen size down to it.
void LimitMapSizes(RendererOptions& options, std::int32_t largest);
// Offers in "mapped/filtering" the contact-hardening and variance filters
// where the driver runs them; a chosen filter it does not falls back to none.
void OfferFilters(RendererOptions& options, bool pcss, bool vsm);
// Offers "mapped/cubeMap" where the driver supports cube maps, for point
// lights only; without support the option is switched off for good.
void OfferCubeMap(RendererOptions& options, bool supported, LightType type);
// Shows `light` as it is; afterwards options.barLight points at it.
void CreateLightBar(RendererOptions& options, Light& light);

LightBarTypes DefineLightTypes();

// Deletes the five bars and stops the tweak-bar library if it was started.
void DeleteBars(RendererOptions& options);
}
