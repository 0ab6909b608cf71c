#define KORVANA_UNIT "src/HelperThread"

#include "HelperThread.h"

#include "Log.h"

#include <system_error>

namespace KorvanaFramework
{
HelperThread::~HelperThread()
{
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return job == nullptr; });
        stopping = true;
    }
    changed.notify_all();
    if (thread.joinable())
        thread.join();
}

void HelperThread::Run(Job newJob, void* newContext)
{
    if (!thread.joinable() && !unavailable) {
        try {
            thread = std::thread(&HelperThread::Loop, this);
        } catch (const std::system_error& error) {
            LOG_INFO("Nie można uruchomić wątku pomocniczego (" << error.what()
                                                               << "); jego praca zostanie wykonana w wątku głównym.");
            unavailable = true;
        }
    }
    if (unavailable) {
        newJob(newContext);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        job = newJob;
        context = newContext;
    }
    changed.notify_all();
}

void HelperThread::Wait()
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return job == nullptr; });
}

// Takes each job, runs it outside the lock and clears it, which wakes Wait.
void HelperThread::Loop()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return job != nullptr || stopping; });
        if (job == nullptr)
            return;
        const Job current = job;
        void* const currentContext = context;
        lock.unlock();
        current(currentContext);
        lock.lock();
        job = nullptr;
        changed.notify_all();
    }
}
}
