// Replacing a whole file so that a crash, a kill or a full disk never leaves
// it half written.
#pragma once

#include <string>

namespace KorvanaFramework
{
// Puts `text` in place of the file at `path`: the text goes to a temporary
// file in the same folder, is flushed to the disk and renamed over the old
// file, so the file is at every moment either the old one or the new one,
// whole. A link is followed and the file it names is replaced. With
// `keepOld`, the old file is first kept beside it under `path` + ".bak".
// On failure the old file is untouched, no temporary file is left, and
// `error` says which step failed and why.
bool ReplaceFile(const std::string& path, const std::string& text, bool keepOld, std::string& error);
}
