// A second thread that runs one job at a time beside the thread that gave
// it, so that two independent passes of a frame overlap. It is started by
// the first job and waits, without spinning, between jobs.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace KorvanaFramework
{
class HelperThread
{
public:
    using Job = void (*)(void* context);

    HelperThread() = default;
    // Lets a running job finish, then ends the thread.
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    // Hands job(context) to the thread; every Run must be followed by Wait
    // before the next. Where no thread can be started, the job runs at once
    // on the caller's thread. The job must not throw.
    void Run(Job job, void* context);
    // Returns once the job of the last Run has finished.
    void Wait();

private:
    void Loop();

    std::mutex mutex;
    std::condition_variable changed;
    Job job = nullptr;
    void* context = nullptr;
    bool stopping = false;
    // Set once a thread could not be started: jobs then run in Run.
    bool unavailable = false;
    std::thread thread;
};
}
