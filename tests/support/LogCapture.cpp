#include "LogCapture.h"

#include <log4cplus/loglevel.h>
#include <log4cplus/spi/loggingevent.h>

#include <algorithm>
#include <mutex>

namespace testsupport {

class LogCapture::Appender : public log4cplus::Appender
{
public:
    ~Appender() override { destructorImpl(); }
    void close() override {}

    std::vector<std::string> lines() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.clear();
    }

protected:
    // Workers log from their own threads.
    void append(const log4cplus::spi::InternalLoggingEvent& event) override
    {
        const int level = event.getLogLevel();
        const char* prefix = level == log4cplus::ERROR_LOG_LEVEL  ? "ERROR "
                             : level == log4cplus::WARN_LOG_LEVEL ? "WARN "
                                                                  : "OTHER ";
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.push_back(prefix + event.getMessage());
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

LogCapture::LogCapture(const std::string& loggerName)
    : m_logger(log4cplus::Logger::getInstance(loggerName)), m_appender(new Appender),
      m_capture(static_cast<Appender*>(m_appender.get()))
{
    m_logger.addAppender(m_appender);
}

LogCapture::~LogCapture()
{
    m_logger.removeAppender(m_appender);
}

std::vector<std::string> LogCapture::lines() const
{
    return m_capture->lines();
}

int LogCapture::count(const std::string& line) const
{
    const std::vector<std::string> all = lines();
    return static_cast<int>(std::count(all.begin(), all.end(), line));
}

void LogCapture::clear()
{
    m_capture->clear();
}

} // namespace testsupport
