// Applying parsed definitions to bars, rows, structure members and the
// library's global settings. Each definition applies whole or not at all.
#pragma once

#include "DefinitionParser.h"
#include "Model.h"

namespace TweakBar
{
// Settings of a row from its parameters, starting from the row's current
// ones. The row is not changed; see ApplyToEntry.
bool SettingsForEntry(const Entry& entry, const std::vector<Parameter>& parameters, Settings& out,
                      std::string& error);

// Sets the row's settings and moves it into its group.
bool ApplyToEntry(CTwBar& bar, Entry& entry, const std::vector<Parameter>& parameters, std::string& error);

// Settings of a structure member of the given type.
bool ApplyToMember(Member& member, const std::string& definition, std::string& error);

// Runs one TwDefine definition: a bar, a row or group, or GLOBAL.
bool ApplyDefinition(Library& library, const Definition& definition, std::string& error);
}
