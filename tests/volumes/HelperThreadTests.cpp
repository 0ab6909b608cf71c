// The helper thread runs each job once, on a thread of its own, and Wait
// returns only after the job's writes are done; ending it lets a running
// job finish.
#include "HelperThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace KorvanaFramework;

namespace
{
struct Work
{
    std::thread::id ranOn;
    std::vector<int> values;
    int round = 0;
};

void Fill(void* context)
{
    auto* work = static_cast<Work*>(context);
    work->ranOn = std::this_thread::get_id();
    for (int& value : work->values)
        value = work->round;
}
}

TEST(HelperThread, RunsEveryJobOnItsOwnThreadAndWaitSeesItsWrites)
{
    HelperThread helper;
    Work work;
    work.values.assign(4096, -1);
    for (work.round = 0; work.round < 500; ++work.round) {
        helper.Run(&Fill, &work);
        helper.Wait();
        ASSERT_EQ(work.round, work.values.front());
        ASSERT_EQ(work.round, work.values.back());
    }
    EXPECT_NE(std::this_thread::get_id(), work.ranOn);
    helper.Wait();
}

TEST(HelperThread, EndingLetsTheRunningJobFinish)
{
    std::atomic<bool> finished{false};
    {
        HelperThread helper;
        helper.Run(
            [](void* flag) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                static_cast<std::atomic<bool>*>(flag)->store(true);
            },
            &finished);
    }
    EXPECT_TRUE(finished.load());
}
