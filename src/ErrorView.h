// The error view: in the same frame as the chosen method's picture, the
// exact hard shadow is counted with depth-fail volumes into the stencil
// buffer, and every surface pixel the light can reach is tinted where the
// method disagrees with it, in one colour where the method shadows what the
// light reaches and in another where it lights what lies in shadow. The
// share of those pixels that agree is the view's measure.
#pragma once

#include <cstdint>

namespace KorvanaFramework
{
class Renderer;

// The stencil bit that marks the pixels the shown method lights (a soft
// method: those with at least half of the light).
constexpr std::uint32_t ShownLightBit = 0x80;
// The stencil bit that marks the surfaces the light can reach.
constexpr std::uint32_t ReceiverBit = 0x40;

// Sets up the stencil so that every fragment the next drawing writes marks
// its pixel as lit by the shown method; colour and depth stay.
void BeginMarkingShownLight();
// Marks every pixel as lit by the shown method, then sets up the stencil so
// that every fragment the next drawing writes marks its pixel as shadowed
// instead; colour and depth stay the drawing's own, and so do the other
// stencil bits. The scissor test must be off.
void BeginMarkingShownShadow();
// Sets up the stencil so that every fragment the next drawing writes marks
// its pixel as a surface the light can reach, or where not `reached` as
// one it cannot; colour and depth stay the drawing's own.
void BeginMarkingReceivers(bool reached);

// What the tints say.
struct ErrorColors
{
    static const float FalseShadow[4];  // shadowed where the light reaches
    static const float FalseLight[4];   // lit where the exact shadow lies
};

class ErrorView
{
public:
    // Needs eight stencil bits, wrapping stencil operations, occlusion
    // queries and depth clamping; false (logged) without them.
    bool Prepare();

    // After the frame's pass, on its depth buffer and camera view: marks
    // what the shown method lit (mode 3 has done so in its pass), counts
    // the exact shadow, tints the disagreeing pixels and returns the share
    // of agreeing ones in percent. The stencil buffer is left used.
    float Check(Renderer& renderer);

private:
    void MarkShownLight(Renderer& renderer) const;
    void MarkReceivers(Renderer& renderer) const;

    std::uint32_t queries[3] = {};
};
}
