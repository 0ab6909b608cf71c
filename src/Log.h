// Logging through the one root logger.
//
// Every statement first asks whether its level is enabled and only then builds
// its text, and passes a location made of the unit path (for example
// "src/MainConfig"), the compiler's full signature and the line. Each unit
// names itself once with KORVANA_UNIT before it logs. The text goes to the
// logger as it is: our sources are UTF-8, the logger's own strings too, and
// a conversion through the C locale would turn every Polish letter into '?'.
#pragma once

#include <log4cxx/logger.h>
#include <log4cxx/spi/location/locationinfo.h>

#include <sstream>

namespace KorvanaFramework
{
// The root logger, obtained during static initialisation before WinMain runs.
extern log4cxx::LoggerPtr rootLogger;
}

#define KORVANA_LOCATION(unit) \
    ::log4cxx::spi::LocationInfo(unit, unit, __PRETTY_FUNCTION__, __LINE__)

#define KORVANA_LOG_AT(isEnabled, level, streamExpr)                                  \
    do {                                                                              \
        if (::KorvanaFramework::rootLogger->isEnabled()) {                            \
            std::ostringstream korvanaLogText_;                                       \
            korvanaLogText_ << streamExpr;                                            \
            ::KorvanaFramework::rootLogger->forcedLogLS(level, korvanaLogText_.str(), \
                                                        KORVANA_LOCATION(KORVANA_UNIT)); \
        }                                                                             \
    } while (0)

// LOG_INFO("Plik: " << path) and LOG_ERROR(...) take stream expressions.
#define LOG_INFO(streamExpr) \
    KORVANA_LOG_AT(isInfoEnabled, ::log4cxx::Level::getInfo(), streamExpr)
#define LOG_ERROR(streamExpr) \
    KORVANA_LOG_AT(isErrorEnabled, ::log4cxx::Level::getError(), streamExpr)
