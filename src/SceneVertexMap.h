// The map from a face corner's index tuple to its object's vertex number,
// filled while the faces are read. Internal to the scene units.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace KorvanaFramework
{
// A list by position for the common case, open addressing with linear
// probing for the rest: a million-triangle object is read in linear time,
// where a tree would spend most of the load on lookups. Only the order of
// first use numbers the vertices, so the containers' own order does not
// matter.
class SceneVertexMap
{
public:
    // Index tuple of a corner as written; attributes the corner lacks are 0.
    struct Key
    {
        std::int32_t position;
        std::int32_t texCoord;
        std::int32_t normal;
    };

    SceneVertexMap() : slots(MinimumCapacity) {}

    // The vertex number stored for `key`, or `next` after storing it there.
    // `positionCount` is how many positions the file has given so far: the
    // first tuple of each of those positions is found by its position alone,
    // in a list the faces of a mesh walk nearly in order; other tuples, and
    // positions not given yet, go through the hash table.
    std::uint32_t FindOrAdd(const Key& key, std::uint32_t next, std::size_t positionCount)
    {
        if (key.position < 1 || static_cast<std::size_t>(key.position) > positionCount)
            return FindOrAddHashed(key, next);
        if (byPosition.size() <= positionCount)
            byPosition.resize(std::max(positionCount + 1, 2 * byPosition.size()));
        Direct& direct = byPosition[static_cast<std::size_t>(key.position)];
        if (direct.generation != generation) {
            // A tuple named before its position was given lies in the table.
            const std::uint32_t vertex = used == 0 ? next : FindOrAddHashed(key, next);
            direct = Direct{key.texCoord, key.normal, vertex, generation};
            return vertex;
        }
        if (direct.texCoord == key.texCoord && direct.normal == key.normal)
            return direct.vertex;
        return FindOrAddHashed(key, next);
    }

    // Forgets every tuple, for the next object. The list by position is
    // not cleared but outdated, so that many small objects after many
    // positions cost nothing each.
    void Clear()
    {
        used = 0;
        slots.assign(MinimumCapacity, Slot{});
        ++generation;
    }

private:
    static constexpr std::uint32_t Free = 0xFFFFFFFFu;
    static constexpr std::size_t MinimumCapacity = 64;

    struct Slot
    {
        Key key{0, 0, 0};
        std::uint32_t vertex = Free;
    };

    // The rest of the first tuple of a position, valid while its generation
    // is the map's.
    struct Direct
    {
        std::int32_t texCoord = 0;
        std::int32_t normal = 0;
        std::uint32_t vertex = 0;
        std::uint32_t generation = 0;
    };

    std::uint32_t FindOrAddHashed(const Key& key, std::uint32_t next)
    {
        std::size_t i = Hash(key) & (slots.size() - 1);
        for (;; i = (i + 1) & (slots.size() - 1)) {
            const Slot& slot = slots[i];
            if (slot.vertex == Free)
                break;
            if (slot.key.position == key.position && slot.key.texCoord == key.texCoord &&
                slot.key.normal == key.normal)
                return slot.vertex;
        }
        slots[i] = Slot{key, next};
        if (++used * 2 > slots.size())
            Resize(slots.size() * 2);
        return next;
    }

    static std::size_t Hash(const Key& key)
    {
        std::uint64_t h = static_cast<std::uint32_t>(key.position) * 0x9E3779B97F4A7C15ull;
        h ^= static_cast<std::uint32_t>(key.texCoord) * 0xC2B2AE3D27D4EB4Full;
        h ^= static_cast<std::uint32_t>(key.normal) * 0x165667B19E3779F9ull;
        h ^= h >> 31;
        h *= 0xBF58476D1CE4E5B9ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }

    // Moves every entry into a table of `capacity` slots, keeping it at
    // most half full.
    void Resize(std::size_t capacity)
    {
        std::vector<Slot> old(capacity);
        old.swap(slots);
        for (const Slot& slot : old) {
            if (slot.vertex == Free)
                continue;
            std::size_t i = Hash(slot.key) & (slots.size() - 1);
            while (slots[i].vertex != Free)
                i = (i + 1) & (slots.size() - 1);
            slots[i] = slot;
        }
    }

    std::vector<Slot> slots;
    std::size_t used = 0;
    std::vector<Direct> byPosition;
    std::uint32_t generation = 1;
};
}
