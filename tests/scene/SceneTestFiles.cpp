#include "SceneTestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace SceneTests
{
TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "korvana-scene-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::string& contents) const
{
    const std::string file = path + "/" + name;
    std::ofstream(file, std::ios::binary) << contents;
    return file;
}

std::string ReaderError(const std::string& path, unsigned line, const std::string& message)
{
    return "Błąd odczytu pliku: " + path + "\n --> (Linia: " + std::to_string(line) + ") " + message;
}
}
