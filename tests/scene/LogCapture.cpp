#include "LogCapture.h"

#include "Log.h"

namespace SceneTests
{
class LogCapture::Appender : public log4cxx::AppenderSkeleton
{
public:
    std::vector<std::string> messages;

    void close() override {}
    bool requiresLayout() const override { return false; }

protected:
    void append(const log4cxx::spi::LoggingEventPtr& event, log4cxx::helpers::Pool&) override
    {
        messages.push_back(event->getMessage());
    }
};

LogCapture::LogCapture() : appender(std::make_shared<Appender>())
{
    KorvanaFramework::rootLogger->addAppender(appender);
}

LogCapture::~LogCapture()
{
    KorvanaFramework::rootLogger->removeAppender(appender);
}

const std::vector<std::string>& LogCapture::Messages() const
{
    return appender->messages;
}
}
