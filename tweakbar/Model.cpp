#include "Model.h"

#include <algorithm>

namespace TweakBar
{
namespace
{
TypeInfo BuiltIn(TypeKind kind, const char* name, size_t size)
{
    TypeInfo info;
    info.kind = kind;
    info.name = name;
    info.size = size;
    return info;
}

// Built-in types in the order of their TwType numbers, from TW_TYPE_BOOLCPP.
const TypeInfo builtInTypes[] = {
    BuiltIn(TypeKind::Bool, "bool", sizeof(bool)),
    BuiltIn(TypeKind::Int, "int32", sizeof(int32_t)),
    BuiltIn(TypeKind::Float, "float", sizeof(float)),
    BuiltIn(TypeKind::Color3, "color3f", 3 * sizeof(float)),
    BuiltIn(TypeKind::Color4, "color4f", 4 * sizeof(float)),
};
}

const TypeInfo* FindType(TwType type)
{
    const int number = static_cast<int>(type);
    const int builtInCount = static_cast<int>(std::size(builtInTypes));
    if (number >= TW_TYPE_BOOLCPP && number < TW_TYPE_BOOLCPP + builtInCount)
        return &builtInTypes[number - TW_TYPE_BOOLCPP];
    const std::deque<TypeInfo>& types = State().types;
    if (number >= firstCustomType && number - firstCustomType < static_cast<int>(types.size()))
        return &types[number - firstCustomType];
    return nullptr;
}

CTwBar* Library::FindBar(const std::string& name) const
{
    for (const auto& bar : bars) {
        if (!bar->deleted && bar->name == name)
            return bar.get();
    }
    return nullptr;
}

bool Library::Owns(const TwBar* bar) const
{
    return bar != nullptr && std::any_of(bars.begin(), bars.end(), [&](const auto& owned) {
               return owned.get() == bar && !owned->deleted;
           });
}

void Library::Fail(const std::string& message)
{
    lastError = message;
    errorPending = true;
}

Library& State()
{
    static Library library;
    return library;
}
}

using TweakBar::Entry;
using TweakBar::EntryKind;

Entry* CTwBar::Find(const std::string& entryName) const
{
    for (const auto& entry : entries) {
        if (entry->name == entryName)
            return entry.get();
    }
    return nullptr;
}

std::vector<Entry*>& CTwBar::RowsOf(Entry* group)
{
    return group != nullptr ? group->children : topLevel;
}

bool CTwBar::Place(Entry& entry, std::string& error)
{
    Entry* group = nullptr;
    const std::string& groupName = entry.settings.group;
    if (!groupName.empty()) {
        group = Find(groupName);
        if (group != nullptr && group->kind != EntryKind::Group) {
            error = "'" + groupName + "' of bar '" + name + "' is not a group";
            return false;
        }
        for (Entry* up = group; up != nullptr; up = up->parent) {
            if (up == &entry) {
                error = "group '" + groupName + "' cannot hold itself";
                return false;
            }
        }
        if (group == nullptr) {
            auto made = std::make_unique<Entry>();
            made->kind = EntryKind::Group;
            made->name = groupName;
            made->settings.open = true;
            group = made.get();
            topLevel.push_back(group);
            entries.push_back(std::move(made));
        }
    }
    if (entry.parent == group && std::count(RowsOf(group).begin(), RowsOf(group).end(), &entry) == 1)
        return true;
    std::vector<Entry*>& from = RowsOf(entry.parent);
    from.erase(std::remove(from.begin(), from.end(), &entry), from.end());
    entry.parent = group;
    RowsOf(group).push_back(&entry);
    return true;
}
