// The C functions of the library over its model, drawing and events.
#include "TweakBar.h"

#include "DefinitionParser.h"
#include "Drawing.h"
#include "Events.h"
#include "Model.h"
#include "Parameters.h"

#include <algorithm>
#include <set>

using namespace TweakBar;

namespace
{
// The library when it is started; otherwise records the failure.
Library* Started(const char* function)
{
    Library& library = State();
    if (!library.initialised) {
        library.Fail(std::string(function) + ": the library is not started (TwInit)");
        return nullptr;
    }
    return &library;
}

int Failure(Library& library, const std::string& message)
{
    library.Fail(message);
    return 0;
}

bool Named(const char* name)
{
    return name != nullptr && name[0] != '\0';
}

// Adds a new row to the bar with its definition; nothing is added when the
// definition is malformed.
int AddEntry(TwBar* bar, std::unique_ptr<Entry> entry, const char* def, const char* function)
{
    Library& library = State();
    const std::string context = std::string(function) + " '" + entry->name + "': ";
    if (!entry->name.empty() && bar->Find(entry->name) != nullptr)
        return Failure(library, context + "bar '" + bar->name + "' already has a row of this name");
    std::vector<Parameter> parameters;
    std::string error;
    if (!ParseParameters(def != nullptr ? def : "", parameters, error) ||
        !SettingsForEntry(*entry, parameters, entry->settings, error))
        return Failure(library, context + error);
    Entry* added = entry.get();
    bar->entries.push_back(std::move(entry));
    bar->topLevel.push_back(added);
    if (!bar->Place(*added, error)) {
        bar->topLevel.pop_back();
        bar->entries.pop_back();
        return Failure(library, context + error);
    }
    return 1;
}

// A variable row after the checks that all variables share.
std::unique_ptr<Entry> NewVariable(Library& library, TwBar* bar, const char* name, TwType type,
                                   const char* function)
{
    const std::string context = std::string(function) + ": ";
    if (!library.Owns(bar)) {
        library.Fail(context + "unknown bar");
        return nullptr;
    }
    const TypeInfo* info = FindType(type);
    if (!Named(name) || info == nullptr) {
        library.Fail(context + (info == nullptr ? "unknown type" : "a variable needs a name"));
        return nullptr;
    }
    auto entry = std::make_unique<Entry>();
    entry->name = name;
    entry->type = type;
    entry->members = info->members;
    return entry;
}

bool SameLayout(const TypeInfo& a, const TypeInfo& b)
{
    return a.size == b.size && std::equal(a.members.begin(), a.members.end(), b.members.begin(), b.members.end(),
                                          [](const Member& x, const Member& y) {
                                              return x.name == y.name && x.type == y.type && x.offset == y.offset;
                                          });
}

bool TypeInUse(const Library& library, TwType type)
{
    return std::any_of(library.bars.begin(), library.bars.end(), [&](const auto& bar) {
        return std::any_of(bar->entries.begin(), bar->entries.end(),
                           [&](const auto& entry) { return entry->type == type; });
    });
}

// Registers a type; a type of the same name and kind is replaced in place,
// keeping its number, unless variables use a structure whose layout changes.
TwType DefineType(Library& library, TypeInfo info)
{
    auto same = std::find_if(library.types.begin(), library.types.end(),
                             [&](const TypeInfo& type) { return type.name == info.name; });
    if (same == library.types.end()) {
        library.types.push_back(std::move(info));
        return static_cast<TwType>(firstCustomType + library.types.size() - 1);
    }
    const TwType number = static_cast<TwType>(firstCustomType + (same - library.types.begin()));
    if (same->kind != info.kind) {
        library.Fail("type '" + info.name + "' is already defined as another kind of type");
        return TW_TYPE_UNDEF;
    }
    if (info.kind == TypeKind::Struct && !SameLayout(*same, info) && TypeInUse(library, number)) {
        library.Fail("structure '" + info.name + "' is in use with another layout");
        return TW_TYPE_UNDEF;
    }
    *same = std::move(info);
    return number;
}

// The structure's members with their definitions, or false with the error.
bool ReadMembers(const TwStructMember* members, unsigned int count, size_t structSize,
                 std::vector<Member>& out, std::string& error)
{
    std::set<std::string> names;
    for (unsigned int i = 0; i < count; ++i) {
        const TwStructMember& given = members[i];
        const TypeInfo* type = FindType(given.Type);
        if (!Named(given.Name) || !names.insert(given.Name).second) {
            error = "members need distinct names";
            return false;
        }
        Member member;
        member.name = given.Name;
        member.type = given.Type;
        member.offset = given.Offset;
        if (type == nullptr || type->kind == TypeKind::Struct || given.Offset + type->size > structSize) {
            error = "member '" + member.name + "' has an unknown type or lies outside the structure";
            return false;
        }
        if (!ApplyToMember(member, given.DefString != nullptr ? given.DefString : "", error))
            return false;
        out.push_back(std::move(member));
    }
    return true;
}
}

int TW_CALL TwInit(TwGraphAPI graphAPI, void* device)
{
    Library& library = State();
    if (library.initialised)
        return Failure(library, "TwInit: the library is already started");
    if (graphAPI != TW_OPENGL || device != nullptr)
        return Failure(library, "TwInit: only TW_OPENGL without a device is supported");
    CreateContext(library);
    library.initialised = true;
    return 1;
}

int TW_CALL TwTerminate(void)
{
    Library* library = Started("TwTerminate");
    if (library == nullptr)
        return 0;
    if (library->drawing)
        return Failure(*library, "TwTerminate: not allowed while the bars are drawn");
    DestroyContext(*library);
    const std::string lastError = library->lastError;
    const bool errorPending = library->errorPending;
    *library = Library();
    library->lastError = lastError;
    library->errorPending = errorPending;
    return 1;
}

int TW_CALL TwWindowSize(int width, int height)
{
    Library* library = Started("TwWindowSize");
    if (library == nullptr)
        return 0;
    if (width < 0 || height < 0)
        return Failure(*library, "TwWindowSize: negative size");
    if (width == 0 && height == 0)
        ReleaseGLObjects(*library);
    // The same size again leaves the bars where the user put them.
    if (width == library->windowWidth && height == library->windowHeight)
        return 1;
    library->windowWidth = width;
    library->windowHeight = height;
    for (auto& bar : library->bars)
        bar->placementPending = true;
    return 1;
}

int TW_CALL TwDraw(void)
{
    Library* library = Started("TwDraw");
    if (library == nullptr)
        return 0;
    if (library->drawing)
        return Failure(*library, "TwDraw: the bars are already being drawn");
    DrawFrame(*library);
    return 1;
}

TwBar* TW_CALL TwNewBar(const char* barName)
{
    Library* library = Started("TwNewBar");
    if (library == nullptr)
        return nullptr;
    if (!Named(barName) || std::string(barName) == "GLOBAL" || library->FindBar(barName) != nullptr) {
        Failure(*library, std::string("TwNewBar: bar name '") + (barName ? barName : "") + "' is empty or taken");
        return nullptr;
    }
    auto bar = std::make_unique<CTwBar>();
    bar->name = barName;
    const int cascade = 16 + 24 * static_cast<int>(library->bars.size());
    bar->settings.x = bar->settings.y = cascade;
    library->bars.push_back(std::move(bar));
    return library->bars.back().get();
}

int TW_CALL TwDeleteBar(TwBar* bar)
{
    Library* library = Started("TwDeleteBar");
    if (library == nullptr)
        return 0;
    if (!library->Owns(bar))
        return Failure(*library, "TwDeleteBar: unknown bar");
    bar->deleted = true;
    if (!library->drawing) {
        auto& bars = library->bars;
        bars.erase(std::remove_if(bars.begin(), bars.end(), [&](const auto& owned) { return owned.get() == bar; }),
                   bars.end());
    }
    return 1;
}

int TW_CALL TwDefine(const char* def)
{
    Library* library = Started("TwDefine");
    if (library == nullptr)
        return 0;
    std::vector<Definition> definitions;
    std::string error;
    bool ok = def != nullptr && ParseDefinitions(def, definitions, error);
    for (size_t i = 0; ok && i < definitions.size(); ++i)
        ok = ApplyDefinition(*library, definitions[i], error);
    if (!ok)
        return Failure(*library, "TwDefine: " + (def != nullptr ? error + " in \"" + def + "\"" : "no definition"));
    return 1;
}

TwType TW_CALL TwDefineEnum(const char* name, const TwEnumVal* enumValues, unsigned int nbValues)
{
    Library* library = Started("TwDefineEnum");
    if (library == nullptr)
        return TW_TYPE_UNDEF;
    TypeInfo info;
    info.kind = TypeKind::Enum;
    info.size = sizeof(int32_t);
    bool ok = Named(name) && (enumValues != nullptr || nbValues == 0);
    for (unsigned int i = 0; ok && i < nbValues; ++i) {
        const TwEnumVal& value = enumValues[i];
        ok = value.Label != nullptr && std::none_of(info.enumValues.begin(), info.enumValues.end(),
                                                    [&](const auto& v) { return v.first == value.Value; });
        if (ok)
            info.enumValues.emplace_back(value.Value, value.Label);
    }
    if (!ok) {
        Failure(*library, "TwDefineEnum: a name and distinct values with labels are needed");
        return TW_TYPE_UNDEF;
    }
    info.name = name;
    return DefineType(*library, std::move(info));
}

TwType TW_CALL TwDefineStruct(const char* name, const TwStructMember* structMembers, unsigned int nbMembers,
                              size_t structSize, TwSummaryCallback summaryCallback, void* summaryClientData)
{
    Library* library = Started("TwDefineStruct");
    if (library == nullptr)
        return TW_TYPE_UNDEF;
    TypeInfo info;
    std::string error = "a name, members and a size are needed";
    if (!Named(name) || structMembers == nullptr || nbMembers == 0 || structSize == 0 ||
        !ReadMembers(structMembers, nbMembers, structSize, info.members, error)) {
        Failure(*library, std::string("TwDefineStruct '") + (name ? name : "") + "': " + error);
        return TW_TYPE_UNDEF;
    }
    info.kind = TypeKind::Struct;
    info.name = name;
    info.size = structSize;
    info.summary = summaryCallback;
    info.summaryClientData = summaryClientData;
    return DefineType(*library, std::move(info));
}

int TW_CALL TwAddVarRW(TwBar* bar, const char* name, TwType type, void* var, const char* def)
{
    Library* library = Started("TwAddVarRW");
    if (library == nullptr)
        return 0;
    auto entry = NewVariable(*library, bar, name, type, "TwAddVarRW");
    if (entry == nullptr)
        return 0;
    if (var == nullptr)
        return Failure(*library, "TwAddVarRW '" + entry->name + "': no variable");
    entry->memory = var;
    return AddEntry(bar, std::move(entry), def, "TwAddVarRW");
}

int TW_CALL TwAddVarCB(TwBar* bar, const char* name, TwType type, TwSetVarCallback setCallback,
                       TwGetVarCallback getCallback, void* clientData, const char* def)
{
    Library* library = Started("TwAddVarCB");
    if (library == nullptr)
        return 0;
    auto entry = NewVariable(*library, bar, name, type, "TwAddVarCB");
    if (entry == nullptr)
        return 0;
    if (getCallback == nullptr)
        return Failure(*library, "TwAddVarCB '" + entry->name + "': no getter");
    entry->setter = setCallback;
    entry->getter = getCallback;
    entry->clientData = clientData;
    return AddEntry(bar, std::move(entry), def, "TwAddVarCB");
}

int TW_CALL TwAddButton(TwBar* bar, const char* name, TwButtonCallback callback, void* clientData,
                        const char* def)
{
    Library* library = Started("TwAddButton");
    if (library == nullptr)
        return 0;
    if (!library->Owns(bar) || !Named(name))
        return Failure(*library, "TwAddButton: unknown bar or no name");
    auto entry = std::make_unique<Entry>();
    entry->kind = EntryKind::Button;
    entry->name = name;
    entry->button = callback;
    entry->clientData = clientData;
    return AddEntry(bar, std::move(entry), def, "TwAddButton");
}

int TW_CALL TwAddSeparator(TwBar* bar, const char* name, const char* def)
{
    Library* library = Started("TwAddSeparator");
    if (library == nullptr)
        return 0;
    if (!library->Owns(bar))
        return Failure(*library, "TwAddSeparator: unknown bar");
    auto entry = std::make_unique<Entry>();
    entry->kind = EntryKind::Separator;
    entry->name = name != nullptr ? name : "";
    return AddEntry(bar, std::move(entry), def, "TwAddSeparator");
}

int TW_CALL TwEventWin(void* wnd, unsigned int msg, WPARAM wParam, LPARAM lParam)
{
    (void)wnd;
    Library& library = State();
    if (!library.initialised)
        return 0;
    if (msg == WM_SIZE) {
        TwWindowSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    }
    return HandleMessage(library, msg, wParam, lParam);
}

const char* TW_CALL TwGetLastError(void)
{
    Library& library = State();
    if (!library.errorPending)
        return nullptr;
    library.errorPending = false;
    return library.lastError.c_str();
}
