#define KORVANA_UNIT "src/ObjPieceQueue"

#include "ObjPieceQueue.h"

namespace KorvanaFramework
{
namespace
{
// Small enough that a piece's text and records stay in the processor's
// caches while they are parsed and applied.
constexpr std::size_t PieceSize = 256 << 10;
}

bool ObjPieceQueue::Open(const std::string& path)
{
    return reader.Open(path, PieceSize);
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
    const bool withHelper = reader.FileSize() > PieceSize;
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
            if (next.readFailed)
                result = Result::ReadFailed;
            else if (!failure && !apply(next.parsed))
                result = Result::Stopped;
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
