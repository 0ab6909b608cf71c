// The persistent settings of the program, read from Korvana.cfg when the
// object is made and written back whole when it is destroyed, in place of
// the old file in one step.
#pragma once

#include <libconfig.h++>

#include <string>

namespace KorvanaFramework
{
class MainConfig : public libconfig::Config
{
public:
    explicit MainConfig(const std::string& fileName);
    ~MainConfig();

    // Typed access to dotted paths such as "Window.Screen.Width". Neither
    // fails: a missing or wrongly typed setting is repaired in the tree and
    // the default (or the value being set) is used.
    int GetValue(const std::string& path, int& defaultValue);
    bool GetValue(const std::string& path, bool& defaultValue);
    void SetValue(const std::string& path, int& value);
    void SetValue(const std::string& path, bool& value);

private:
    void Read();
    void CreateValue(const std::string& name, const std::string& parentPath, int value);
    void CreateValue(const std::string& name, const std::string& parentPath, bool value);

    template <typename T> T GetTypedValue(const std::string& path, T& defaultValue);
    template <typename T> void SetTypedValue(const std::string& path, T& value);
    template <typename T> void CreateTypedValue(const std::string& name, const std::string& parentPath,
                                                libconfig::Setting::Type type, T value);
    void CreateGroups(const std::string& path);
    template <typename T> void ReplaceLeaf(const std::string& path, T value);

    std::string fileName;
    // A file stood at fileName but could not be read or parsed.
    bool unusableFileFound = false;
};
}
