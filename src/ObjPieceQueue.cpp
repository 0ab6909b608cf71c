#define KORVANA_UNIT "src/ObjPieceQueue"

#include "ObjPieceQueue.h"

#include <filesystem>

namespace KorvanaFramework
{
namespace
{
// Pieces parsed on the calling thread alone are small, so that their text
// and records stay in the processor's caches and the same few buffers
// serve the whole file; pieces shared with the helper are larger, so that
// handing them over costs little beside parsing them.
constexpr std::size_t PieceSize = 32 << 10;
constexpr std::size_t SharedPieceSize = 64 << 10;
// A file below this size is parsed on the calling thread alone.
constexpr std::uintmax_t SharedFileSize = std::uintmax_t{1} << 18;
}

bool ObjPieceQueue::Open(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    withHelper = !error && size >= SharedFileSize;
    return reader.Open(path, withHelper ? SharedPieceSize : PieceSize);
}

// Reads the next piece into its slot, unless that slot still holds a piece
// not applied or the file has no more; the lock must be held. Reading
// under the lock keeps the pieces in file order.
ObjPieceQueue::Slot* ObjPieceQueue::ClaimLocked()
{
    Slot& slot = slots[claimed % SlotCount];
    if (readEnded || stopping || slot.state != State::Free)
        return nullptr;
    ++claimed;
    slot.state = State::Claimed;
    try {
        if (!reader.Next(slot.text))
            slot.readFailed = readEnded = true;
        else if (slot.text.last)
            readEnded = true;
    } catch (...) {
        slot.failure = std::current_exception();
        readEnded = true;
    }
    return &slot;
}

// Parses a claimed piece outside the lock; an exception is kept for the
// calling thread, as the helper must not throw.
void ObjPieceQueue::Parse(Slot& slot)
{
    if (!slot.readFailed && !slot.failure) {
        try {
            ParseObjPiece(slot.text, slot.parsed);
        } catch (...) {
            slot.failure = std::current_exception();
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        slot.state = State::Parsed;
    }
    changed.notify_all();
}

// The helper's job: parses pieces while there is room for them. Where no
// helper thread could be started, the job runs at once on the calling
// thread and returns, leaving every piece to Read.
void ObjPieceQueue::ParseAhead()
{
    if (std::this_thread::get_id() == caller)
        return;
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (Slot* slot = ClaimLocked()) {
            lock.unlock();
            Parse(*slot);
            lock.lock();
        } else if (readEnded) {
            break;
        } else {
            changed.wait(lock);
        }
    }
}

// Stops the helper and waits for it: it may still be parsing a piece.
void ObjPieceQueue::Finish(std::unique_lock<std::mutex>& lock)
{
    stopping = true;
    lock.unlock();
    changed.notify_all();
    helper.Wait();
}

ObjPieceQueue::Result ObjPieceQueue::Read(const std::function<bool(const ParsedPiece&)>& apply)
{
    caller = std::this_thread::get_id();
    if (withHelper)
        helper.Run([](void* queue) { static_cast<ObjPieceQueue*>(queue)->ParseAhead(); }, this);
    std::unique_lock<std::mutex> lock(mutex);
    Result result = Result::Finished;
    std::exception_ptr failure;
    for (;;) {
        Slot& next = slots[applied % SlotCount];
        if (next.state == State::Parsed) {
            lock.unlock();
            failure = next.failure;
            // What apply throws waits until the helper has stopped.
            try {
                if (next.readFailed)
                    result = Result::ReadFailed;
                else if (!failure && !apply(next.parsed))
                    result = Result::Stopped;
            } catch (...) {
                failure = std::current_exception();
            }
            const bool last = next.text.last;
            lock.lock();
            next.state = State::Free;
            next.readFailed = false;
            next.failure = nullptr;
            ++applied;
            changed.notify_all();
            if (result != Result::Finished || failure || last)
                break;
        } else if (Slot* slot = ClaimLocked()) {
            lock.unlock();
            Parse(*slot);
            lock.lock();
        } else {
            changed.wait(lock);
        }
    }
    if (withHelper)
        Finish(lock);
    if (failure)
        std::rethrow_exception(failure);
    return result;
}
}
