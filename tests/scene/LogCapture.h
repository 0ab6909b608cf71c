// Collects the messages logged through the root logger while it lives, so
// tests can check what a reader reported.
#pragma once

#include <log4cxx/appenderskeleton.h>

#include <memory>
#include <string>
#include <vector>

namespace SceneTests
{
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<std::string>& Messages() const;

private:
    class Appender;
    std::shared_ptr<Appender> appender;
};
}
