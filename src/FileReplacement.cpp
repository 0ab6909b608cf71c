#include "FileReplacement.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace KorvanaFramework
{
namespace
{
// The step that failed and the system's reason, for the log.
bool Failed(const std::string& step, std::string& error)
{
    error = step + ": " + std::strerror(errno);
    return false;
}

// The file a link names; the path itself when it names nothing yet.
std::string ResolvedPath(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    const std::string result = resolved;
    std::free(resolved);
    return result;
}

std::string FolderOf(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The old file's permissions, or those a newly created file would get.
mode_t PermissionsFor(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteWhole(int descriptor, const std::string& text)
{
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = write(descriptor, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the whole text to a new file beside `target` and flushes it to the
// disk; its name is returned in `temporary`, and nothing is left on failure.
bool WriteTemporary(const std::string& target, const std::string& text, std::string& temporary, std::string& error)
{
    std::string name = target + ".XXXXXX";
    const int descriptor = mkstemp(&name[0]);
    if (descriptor < 0)
        return Failed("creating a temporary file beside " + target, error);
    bool written = fchmod(descriptor, PermissionsFor(target)) == 0 && WriteWhole(descriptor, text) &&
                   fsync(descriptor) == 0;
    if (!written)
        Failed("writing " + name, error);
    if (close(descriptor) != 0 && written)
        written = Failed("closing " + name, error);
    if (!written) {
        unlink(name.c_str());
        return false;
    }
    temporary = name;
    return true;
}

// A hard link keeps the old file under the backup name while the original
// name still holds it, so there is no moment without the file. A file gone
// meanwhile leaves nothing to keep.
bool KeepBeside(const std::string& target, std::string& error)
{
    const std::string backup = target + ".bak";
    if (unlink(backup.c_str()) != 0 && errno != ENOENT)
        return Failed("removing " + backup, error);
    if (link(target.c_str(), backup.c_str()) != 0 && errno != ENOENT)
        return Failed("keeping " + target + " as " + backup, error);
    return true;
}

// Makes the rename itself durable; a folder that cannot be flushed still
// holds the new file.
void FlushFolder(const std::string& folder)
{
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (descriptor < 0)
        return;
    fsync(descriptor);
    close(descriptor);
}
}

bool ReplaceFile(const std::string& path, const std::string& text, bool keepOld, std::string& error)
{
    const std::string target = ResolvedPath(path);
    std::string temporary;
    if (!WriteTemporary(target, text, temporary, error))
        return false;
    if (keepOld && !KeepBeside(target, error)) {
        unlink(temporary.c_str());
        return false;
    }
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        Failed("renaming " + temporary + " to " + target, error);
        unlink(temporary.c_str());
        return false;
    }
    FlushFolder(FolderOf(target));
    return true;
}
}
