// Sections:
//   - the portable loops, one float operation at a time;
//   - the AVX2 loops, eight vertices at a time, for x86-64 processors that
//     have AVX2, chosen when the program starts;
//   - the entry points, which pick one.
// Both kinds of loop perform the same operations in the same order and
// neither contracts a multiply and an add (no FMA), so they give the same
// bits; the AVX2 ones only leave the last count % 8 vertices to the
// portable ones.
#include "VolumeExtrusion.h"

#include <cmath>
#include <limits>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KORVANA_AVX2_EXTRUSION 1
#include <immintrin.h>
#endif

namespace KorvanaFramework
{
namespace
{
// ---------------------------------------------------------------------------
// Portable loops. They choose rather than branch and their lists do not
// overlap, so that the compiler may vectorise them for the baseline
// instruction set.

void PortableToInfinity(const float* __restrict vertices, float* __restrict copies, std::size_t count,
                        const Vec4& light)
{
    const float lx = light[0], ly = light[1], lz = light[2];
    for (std::size_t k = 0; k < 4 * count; k += 4) {
        const float x = vertices[k], y = vertices[k + 1], z = vertices[k + 2], w = vertices[k + 3];
        const float dx = x - lx, dy = y - ly, dz = z - lz;
        const bool atLight = dx == 0.0f && dy == 0.0f && dz == 0.0f;
        copies[k] = atLight ? x : dx;
        copies[k + 1] = atLight ? y : dy;
        copies[k + 2] = atLight ? z : dz;
        copies[k + 3] = atLight ? w : 0.0f;
    }
}

// Returns false where a distance overflowed a float, leaving copies that
// must be measured again.
bool PortableFromPoint(const float* __restrict vertices, float* __restrict copies, std::size_t count,
                       const Vec4& light, float length)
{
    const float lx = light[0], ly = light[1], lz = light[2];
    unsigned overflowed = 0;
    for (std::size_t k = 0; k < 4 * count; k += 4) {
        const float x = vertices[k], y = vertices[k + 1], z = vertices[k + 2];
        const float dx = x - lx, dy = y - ly, dz = z - lz;
        const float norm = std::sqrt(dx * dx + dy * dy + dz * dz);
        const float ex = x + length * dx / norm, ey = y + length * dy / norm, ez = z + length * dz / norm;
        const bool away = norm > 0.0f;
        overflowed |= !(norm <= std::numeric_limits<float>::max());
        copies[k] = away ? ex : x;
        copies[k + 1] = away ? ey : y;
        copies[k + 2] = away ? ez : z;
        copies[k + 3] = 1.0f;
    }
    return overflowed == 0;
}

// PortableFromPoint in double precision, for coordinates whose distances
// overflow a float.
void PreciselyFromPoint(const float* vertices, float* copies, std::size_t count, const Vec4& light,
                        float length)
{
    for (std::size_t k = 0; k < 4 * count; k += 4) {
        const double dx = double{vertices[k]} - light[0], dy = double{vertices[k + 1]} - light[1],
                     dz = double{vertices[k + 2]} - light[2];
        const double norm = std::sqrt(dx * dx + dy * dy + dz * dz);
        const double scale = norm > 0.0 ? length / norm : 0.0;
        copies[k] = static_cast<float>(vertices[k] + scale * dx);
        copies[k + 1] = static_cast<float>(vertices[k + 1] + scale * dy);
        copies[k + 2] = static_cast<float>(vertices[k + 2] + scale * dz);
        copies[k + 3] = 1.0f;
    }
}

#ifdef KORVANA_AVX2_EXTRUSION
// ---------------------------------------------------------------------------
// AVX2 loops. The compiler's own vectorisation of four-float records spends
// most of its time shuffling and spilling; transposing eight vertices into
// one register per component costs eight shuffles each way and runs the
// finite extrusion about four times as fast.

#define KORVANA_AVX2 __attribute__((target("avx2")))

// One register per component of eight vertices, in the lane order
// 0 2 4 6 | 1 3 5 7 that the transposes below produce and undo.
struct EightVertices
{
    __m256 x, y, z, w;
};

KORVANA_AVX2 EightVertices LoadEight(const float* from)
{
    const __m256 r0 = _mm256_loadu_ps(from), r1 = _mm256_loadu_ps(from + 8);
    const __m256 r2 = _mm256_loadu_ps(from + 16), r3 = _mm256_loadu_ps(from + 24);
    const __m256 t0 = _mm256_unpacklo_ps(r0, r1), t1 = _mm256_unpackhi_ps(r0, r1);
    const __m256 t2 = _mm256_unpacklo_ps(r2, r3), t3 = _mm256_unpackhi_ps(r2, r3);
    return {_mm256_shuffle_ps(t0, t2, 0x44), _mm256_shuffle_ps(t0, t2, 0xEE), _mm256_shuffle_ps(t1, t3, 0x44),
            _mm256_shuffle_ps(t1, t3, 0xEE)};
}

KORVANA_AVX2 void StoreEight(float* to, const EightVertices& v)
{
    const __m256 u0 = _mm256_unpacklo_ps(v.x, v.y), u1 = _mm256_unpackhi_ps(v.x, v.y);
    const __m256 u2 = _mm256_unpacklo_ps(v.z, v.w), u3 = _mm256_unpackhi_ps(v.z, v.w);
    _mm256_storeu_ps(to, _mm256_shuffle_ps(u0, u2, 0x44));
    _mm256_storeu_ps(to + 8, _mm256_shuffle_ps(u0, u2, 0xEE));
    _mm256_storeu_ps(to + 16, _mm256_shuffle_ps(u1, u3, 0x44));
    _mm256_storeu_ps(to + 24, _mm256_shuffle_ps(u1, u3, 0xEE));
}

KORVANA_AVX2 void Avx2ToInfinity(const float* vertices, float* copies, std::size_t count, const Vec4& light)
{
    const __m256 lx = _mm256_set1_ps(light[0]), ly = _mm256_set1_ps(light[1]), lz = _mm256_set1_ps(light[2]);
    const __m256 zero = _mm256_setzero_ps();
    std::size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const EightVertices v = LoadEight(vertices + 4 * k);
        const __m256 dx = _mm256_sub_ps(v.x, lx), dy = _mm256_sub_ps(v.y, ly), dz = _mm256_sub_ps(v.z, lz);
        const __m256 atLight = _mm256_and_ps(_mm256_and_ps(_mm256_cmp_ps(dx, zero, _CMP_EQ_OQ),
                                                           _mm256_cmp_ps(dy, zero, _CMP_EQ_OQ)),
                                             _mm256_cmp_ps(dz, zero, _CMP_EQ_OQ));
        StoreEight(copies + 4 * k, {_mm256_blendv_ps(dx, v.x, atLight), _mm256_blendv_ps(dy, v.y, atLight),
                                    _mm256_blendv_ps(dz, v.z, atLight), _mm256_blendv_ps(zero, v.w, atLight)});
    }
    PortableToInfinity(vertices + 4 * k, copies + 4 * k, count - k, light);
}

KORVANA_AVX2 bool Avx2FromPoint(const float* vertices, float* copies, std::size_t count, const Vec4& light,
                                float length)
{
    const __m256 lx = _mm256_set1_ps(light[0]), ly = _mm256_set1_ps(light[1]), lz = _mm256_set1_ps(light[2]);
    const __m256 scale = _mm256_set1_ps(length), zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f);
    const __m256 largest = _mm256_set1_ps(std::numeric_limits<float>::max());
    __m256 overflowed = zero;
    std::size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const EightVertices v = LoadEight(vertices + 4 * k);
        const __m256 dx = _mm256_sub_ps(v.x, lx), dy = _mm256_sub_ps(v.y, ly), dz = _mm256_sub_ps(v.z, lz);
        const __m256 norm = _mm256_sqrt_ps(
            _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy)), _mm256_mul_ps(dz, dz)));
        const __m256 away = _mm256_cmp_ps(norm, zero, _CMP_GT_OQ);
        overflowed = _mm256_or_ps(overflowed, _mm256_cmp_ps(norm, largest, _CMP_NLE_UQ));
        const __m256 ex = _mm256_add_ps(v.x, _mm256_div_ps(_mm256_mul_ps(scale, dx), norm));
        const __m256 ey = _mm256_add_ps(v.y, _mm256_div_ps(_mm256_mul_ps(scale, dy), norm));
        const __m256 ez = _mm256_add_ps(v.z, _mm256_div_ps(_mm256_mul_ps(scale, dz), norm));
        StoreEight(copies + 4 * k, {_mm256_blendv_ps(v.x, ex, away), _mm256_blendv_ps(v.y, ey, away),
                                    _mm256_blendv_ps(v.z, ez, away), one});
    }
    const bool tailFits = PortableFromPoint(vertices + 4 * k, copies + 4 * k, count - k, light, length);
    return tailFits && _mm256_movemask_ps(overflowed) == 0;
}

// Read once, before any thread may call the loops.
const bool HasAvx2 = __builtin_cpu_supports("avx2");
#endif
}

// ---------------------------------------------------------------------------
// Entry points.

void ExtrudeToInfinity(const float* vertices, float* copies, std::size_t count, const Vec4& light)
{
#ifdef KORVANA_AVX2_EXTRUSION
    if (HasAvx2) {
        Avx2ToInfinity(vertices, copies, count, light);
        return;
    }
#endif
    PortableToInfinity(vertices, copies, count, light);
}

// Where a distance overflows in single precision the copies would turn NaN;
// then they are all measured again in double precision, outside the loops
// that vectorise.
void ExtrudeFromPoint(const float* vertices, float* copies, std::size_t count, const Vec4& light, float length)
{
#ifdef KORVANA_AVX2_EXTRUSION
    const bool fits = HasAvx2 ? Avx2FromPoint(vertices, copies, count, light, length)
                              : PortableFromPoint(vertices, copies, count, light, length);
#else
    const bool fits = PortableFromPoint(vertices, copies, count, light, length);
#endif
    if (!fits)
        PreciselyFromPoint(vertices, copies, count, light, length);
}

void ExtrudeAlong(const float* vertices, float* copies, std::size_t count, const Vec4& direction, float length)
{
    const float norm = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] +
                                 direction[2] * direction[2]);
    const float sx = length * -direction[0] / norm, sy = length * -direction[1] / norm,
                sz = length * -direction[2] / norm;
    for (std::size_t k = 0; k < 4 * count; k += 4) {
        copies[k] = vertices[k] + sx;
        copies[k + 1] = vertices[k + 1] + sy;
        copies[k + 2] = vertices[k + 2] + sz;
        copies[k + 3] = 1.0f;
    }
}
}
