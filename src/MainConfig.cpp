#define KORVANA_UNIT "src/MainConfig"

#include "MainConfig.h"

#include "FileReplacement.h"
#include "Log.h"

#include "platform/Win32Api.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace KorvanaFramework
{
namespace
{
// Far above any file the program writes; a larger one is not a settings file.
const std::streamsize maxConfigSize = 1 << 20;

// The parent path of a dotted path ("" for a top-level name) and its last name.
std::string ParentPath(const std::string& path)
{
    const std::string::size_type dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(0, dot);
}

std::string LeafName(const std::string& path)
{
    const std::string::size_type dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(dot + 1);
}

// True when some line starts (after blanks) with an include directive. The
// configuration library would open other files for it, and its scanner ends
// the whole process on some include failures.
bool HasIncludeDirective(const std::string& text)
{
    std::string::size_type lineStart = 0;
    while (lineStart < text.size()) {
        std::string::size_type i = text.find_first_not_of(" \t", lineStart);
        if (i != std::string::npos && text.compare(i, 8, "@include") == 0)
            return true;
        const std::string::size_type next = text.find('\n', lineStart);
        if (next == std::string::npos)
            break;
        lineStart = next + 1;
    }
    return false;
}

// Reads the whole file when it is a regular text file of sane size; false for
// a missing, unreadable, oversized or binary file and for a directory.
bool ReadTextFile(const std::string& fileName, std::string& text)
{
    struct stat info;
    if (stat(fileName.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad() || static_cast<std::streamsize>(text.size()) > maxConfigSize)
        return false;
    return text.find('\0') == std::string::npos;
}

// Something other than a folder stands at the path: a file whose contents
// could be kept.
bool FileStandsAt(const std::string& fileName)
{
    struct stat info;
    return lstat(fileName.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// The tree as the library's writer lays it out.
bool WrittenText(const libconfig::Config& config, std::string& text)
{
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    if (!stream)
        return false;
    config.write(stream);
    const bool closed = std::fclose(stream) == 0;
    if (closed)
        text.assign(buffer, size);
    std::free(buffer);
    return closed;
}
}

MainConfig::MainConfig(const std::string& fileName)
    : fileName(fileName)
{
    Read();
}

// Writes the whole tree back to the file it was read from, replacing it in
// one step; a file that could not be used is kept beside it, since it may
// hold the user's own edits.
MainConfig::~MainConfig()
{
    std::string text, error;
    if (!WrittenText(*this, text)) {
        error = "the settings could not be laid out as text";
    } else if (ReplaceFile(fileName, text, unusableFileFound, error)) {
        if (unusableFileFound)
            LOG_INFO("Plik konfiguracyjny, którego nie można było użyć, zachowano jako " << fileName << ".bak");
        return;
    }
    LOG_ERROR("Błąd zapisu pliku konfiguracyjnego " << fileName << ": " << error);
    const std::string message = "Błąd zapisu pliku konfiguracyjnego:\n" + fileName;
    MessageBoxA(nullptr, message.c_str(), "Błąd", MB_ICONERROR);
}

// Parses the file from memory after checking it, so that no file content can
// reach the library's scanner in a form that ends the process. Any failure
// leaves an empty tree and tells the user that defaults are used.
void MainConfig::Read()
{
    std::string text;
    bool ok = ReadTextFile(fileName, text) && !HasIncludeDirective(text);
    if (ok) {
        try {
            readString(text);
        } catch (libconfig::ParseException&) {
            ok = false;
        }
    }
    if (ok)
        return;
    unusableFileFound = FileStandsAt(fileName);
    readString("");  // drops whatever a failed parse had built
    const std::string message = "Błąd odczytu pliku konfiguracyjnego:\n" + fileName +
                                "\nZostaną zostosowane ustawienia domyślne.";
    MessageBoxA(nullptr, message.c_str(), "Błąd", MB_ICONERROR);
}

int MainConfig::GetValue(const std::string& path, int& defaultValue)
{
    return GetTypedValue(path, defaultValue);
}

bool MainConfig::GetValue(const std::string& path, bool& defaultValue)
{
    return GetTypedValue(path, defaultValue);
}

void MainConfig::SetValue(const std::string& path, int& value)
{
    SetTypedValue(path, value);
}

void MainConfig::SetValue(const std::string& path, bool& value)
{
    SetTypedValue(path, value);
}

void MainConfig::CreateValue(const std::string& name, const std::string& parentPath, int value)
{
    CreateTypedValue(name, parentPath, libconfig::Setting::TypeInt, value);
}

void MainConfig::CreateValue(const std::string& name, const std::string& parentPath, bool value)
{
    CreateTypedValue(name, parentPath, libconfig::Setting::TypeBoolean, value);
}

// A missing setting (or a missing or scalar group on its path) is created with
// the default; a setting of another type is replaced by one holding it.
template <typename T>
T MainConfig::GetTypedValue(const std::string& path, T& defaultValue)
{
    try {
        const T value = lookup(path);
        return value;
    } catch (libconfig::SettingNotFoundException&) {
        CreateGroups(path);
        CreateValue(LeafName(path), ParentPath(path), defaultValue);
        return defaultValue;
    } catch (libconfig::SettingTypeException&) {
        ReplaceLeaf(path, defaultValue);
        return defaultValue;
    }
}

template <typename T>
void MainConfig::SetTypedValue(const std::string& path, T& value)
{
    try {
        lookup(path) = value;
    } catch (libconfig::SettingNotFoundException&) {
        GetValue(path, value);
    } catch (libconfig::SettingTypeException&) {
        ReplaceLeaf(path, value);
    }
}

template <typename T>
void MainConfig::CreateTypedValue(const std::string& name, const std::string& parentPath,
                                  libconfig::Setting::Type type, T value)
{
    lookup(parentPath).add(name, type);
    lookup(parentPath + "." + name) = value;
}

// Makes every component but the last of the path a group: a missing one is
// added, a scalar in its place is replaced by an empty group in the same parent.
void MainConfig::CreateGroups(const std::string& path)
{
    std::string::size_type dot = path.find('.');
    while (dot != std::string::npos) {
        const std::string prefix = path.substr(0, dot);
        const std::string name = LeafName(prefix);
        if (exists(prefix)) {
            libconfig::Setting& setting = lookup(prefix);
            if (setting.getType() != libconfig::Setting::TypeGroup) {
                libconfig::Setting& parent = setting.getParent();
                parent.remove(name);
                parent.add(name, libconfig::Setting::TypeGroup);
            }
        } else if (prefix.find('.') != std::string::npos) {
            lookup(ParentPath(prefix)).add(name, libconfig::Setting::TypeGroup);
        } else {
            getRoot().add(name, libconfig::Setting::TypeGroup);
        }
        dot = path.find('.', dot + 1);
    }
}

// Removes the leaf from its group and creates it again with the given type.
template <typename T>
void MainConfig::ReplaceLeaf(const std::string& path, T value)
{
    const std::string parentPath = ParentPath(path);
    libconfig::Setting& parent = parentPath.empty() ? getRoot() : lookup(parentPath);
    parent.remove(LeafName(path));
    CreateValue(LeafName(path), parentPath, value);
}
}
