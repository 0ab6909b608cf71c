#include "Log.h"

namespace KorvanaFramework
{
// Obtained at static initialisation so that every unit logs through one handle.
log4cxx::LoggerPtr rootLogger = log4cxx::Logger::getRootLogger();
}
