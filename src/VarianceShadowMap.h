// Variance shadow maps: the casters' distance from the light and its square
// go into a two-channel texture, which is blurred separably and then read
// with the driver's linear filter; a receiver takes Chebyshev's bound on the
// share of the light that reaches it from the mean and variance there, so
// the edges are soft for the cost of one texture read.
#pragma once

#include "Geometry.h"
#include "VolumeFootprint.h"

#include <array>
#include <cstdint>

namespace KorvanaFramework
{
class Renderer;

class VarianceShadowMap
{
public:
    // Finds a two-channel format the driver renders to (16-bit fixed, then
    // 32-bit float, then 16-bit float) with `depthTexture` as the depth
    // buffer, and builds the programs; Available() tells whether it did.
    void Prepare(std::uint32_t depthTexture);
    bool Available() const { return ready; }

    // Renders the casters' moments with the light's matrices loaded, into
    // a map of `size` texels a side, blurred by a box `blur` texels wide.
    // `casters` holds every texel a caster can be drawn into: the map is
    // rendered and blurred only as far around it as a blurred texel that
    // a receiver reads can differ from the far end's, and holds the far
    // end beyond.
    void Render(const Renderer& renderer, const Matrix4& lightProjection, std::int32_t size, std::int32_t blur,
                const PixelRect& casters);
    // Puts the receivers' program in use on the map last rendered.
    void UseReceiverProgram(const Matrix4& lightProjection, float bleedingReduction) const;

private:
    bool TryFormat(std::int32_t format, std::uint32_t depthTexture);
    void FitSize(std::int32_t size);
    // A width whose program fails to build is logged once and left unblurred.
    void Blur(std::int32_t size, std::int32_t taps, const PixelRect& blurred);

    bool ready = false;
    std::int32_t format = 0;
    std::int32_t size = 0;
    float minimumVariance = 0.0f;
    // moments[0] is rendered and read, moments[1] holds the blur's middle.
    std::uint32_t moments[2] = {};
    std::uint32_t framebuffers[2] = {};
    std::uint32_t momentsProgram = 0;
    // The blur of each odd width up to 31 texels, built when first used.
    std::array<std::uint32_t, 16> blurPrograms{};
    std::uint32_t receiverProgram = 0;
};
}
