#pragma once

#include <log4cplus/appender.h>
#include <log4cplus/logger.h>

#include <string>
#include <vector>

namespace testsupport {

/// Collects the records of a logger and of those below it while alive.
class LogCapture
{
public:
    explicit LogCapture(const std::string& loggerName);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    /// "ERROR text", "WARN text" (other levels "OTHER text") per record, in order.
    std::vector<std::string> lines() const;
    int count(const std::string& line) const;
    void clear();

private:
    class Appender;
    log4cplus::Logger m_logger;
    log4cplus::SharedAppenderPtr m_appender;
    Appender* m_capture;
};

inline std::string error(const std::string& text)
{
    return "ERROR " + text;
}

inline std::string warn(const std::string& text)
{
    return "WARN " + text;
}

} // namespace testsupport
