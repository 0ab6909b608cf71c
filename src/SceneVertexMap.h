// The map from a face corner's index tuple to the object's vertex number,
// used while an object's vertex arrays are built. Internal to the scene
// units.
#pragma once

#include <cstdint>
#include <vector>

namespace KorvanaFramework
{
// Open addressing with linear probing: a million-triangle object is built
// in linear time, where a tree would spend most of the load on lookups.
// Only the order of first use numbers the vertices, so the container's own
// order does not matter.
class SceneVertexMap
{
public:
    // Index tuple of a corner; attributes the object lacks are 0. Valid
    // position indices are at least 1, so a zero position marks a free slot.
    struct Key
    {
        std::int32_t position;
        std::int32_t texCoord;
        std::int32_t normal;
    };

    explicit SceneVertexMap(std::size_t expectedCorners)
    {
        std::size_t capacity = 16;
        while (capacity < expectedCorners)
            capacity *= 2;
        slots.resize(capacity);
    }

    // The vertex number stored for `key`, or `next` after storing it there.
    std::uint32_t FindOrAdd(const Key& key, std::uint32_t next)
    {
        std::size_t i = Hash(key) & (slots.size() - 1);
        for (;; i = (i + 1) & (slots.size() - 1)) {
            Slot& slot = slots[i];
            if (slot.key.position == 0)
                break;
            if (slot.key.position == key.position && slot.key.texCoord == key.texCoord &&
                slot.key.normal == key.normal)
                return slot.vertex;
        }
        slots[i] = Slot{key, next};
        if (++used * 2 > slots.size())
            Grow();
        return next;
    }

private:
    struct Slot
    {
        Key key{0, 0, 0};
        std::uint32_t vertex = 0;
    };

    static std::size_t Hash(const Key& key)
    {
        std::uint64_t h = static_cast<std::uint32_t>(key.position) * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<std::uint32_t>(key.texCoord) * 0xC2B2AE3D27D4EB4Full;
        h ^= static_cast<std::uint32_t>(key.normal) * 0x165667B19E3779F9ull;
        h ^= h >> 31;
        h *= 0xBF58476D1CE4E5B9ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }

    // Doubles the table, keeping it at most half full.
    void Grow()
    {
        std::vector<Slot> old(slots.size() * 2);
        old.swap(slots);
        for (const Slot& slot : old) {
            if (slot.key.position == 0)
                continue;
            std::size_t i = Hash(slot.key) & (slots.size() - 1);
            while (slots[i].key.position != 0)
                i = (i + 1) & (slots.size() - 1);
            slots[i] = slot;
        }
    }

    std::vector<Slot> slots;
    std::size_t used = 0;
};
}
