// The OBJ reader's pieces, read in file order and parsed on the calling
// thread and a helper thread at once, then handed back one by one in file
// order, so that a large file's parsing overlaps with building its objects.
// Internal to the scene units.
#pragma once

#include "HelperThread.h"
#include "ObjStatements.h"
#include "WavefrontText.h"

#include <array>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace KorvanaFramework
{
class ObjPieceQueue
{
public:
    enum class Result
    {
        Finished,
        Stopped,     // apply returned false
        ReadFailed,  // the file could not be read to its end
    };

    // False when the path names no regular file that can be opened.
    bool Open(const std::string& path);
    // The file's size as Open found it; 0 when unknown.
    std::uintmax_t FileSize() const { return reader.FileSize(); }
    // Hands every piece, parsed, to `apply` in file order until it returns
    // false. A large file is parsed by a helper thread too,
    // at most a few pieces ahead of `apply`, so that memory stays bounded.
    // An exception of the parsing is thrown here, on the calling thread.
    Result Read(const std::function<bool(const ParsedPiece&)>& apply);

private:
    enum class State
    {
        Free,
        Claimed,
        Parsed,
    };

    struct Slot
    {
        WavefrontText::TextPiece text;
        ParsedPiece parsed;
        State state = State::Free;
        bool readFailed = false;
        std::exception_ptr failure;
    };

    static constexpr std::size_t SlotCount = 4;

    Slot* ClaimLocked();
    void Parse(Slot& slot);
    void ParseAhead();
    void Finish(std::unique_lock<std::mutex>& lock);

    WavefrontText::PieceReader reader;
    std::array<Slot, SlotCount> slots;
    std::mutex mutex;
    std::condition_variable changed;
    // Sequence numbers of the next piece to read and the next to apply; a
    // piece's slot is its number modulo SlotCount.
    std::uint64_t claimed = 0;
    std::uint64_t applied = 0;
    bool readEnded = false;
    bool stopping = false;
    bool withHelper = false;
    std::thread::id caller;
    HelperThread helper;
};
}
