// The batch command's console: repeats past the hundredth folded into one
// count per message, while every record still reaches the other appenders.
#include "FoldingConsoleAppender.h"

#include "LogCapture.h"

#include <log4cplus/layout.h>
#include <log4cplus/logger.h>
#include <log4cplus/loggingmacros.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>

namespace {

/// The distinct lines written.
std::set<std::string> linesOf(std::FILE* file)
{
    std::rewind(file);
    std::set<std::string> lines;
    for (char line[256]; std::fgets(line, sizeof line, file);) {
        lines.insert(std::string(line, std::strcspn(line, "\n")));
    }
    return lines;
}

TEST(FoldingConsoleAppender, ShowsTheFirstHundredOfEachMessageAndCountsTheRest)
{
    std::FILE* console = std::tmpfile();
    ASSERT_NE(console, nullptr);
    auto* folding = new FoldingConsoleAppender(console);
    folding->setLayout(std::make_unique<log4cplus::PatternLayout>("%m%n"));
    log4cplus::Logger logger = log4cplus::Logger::getInstance("FoldingConsoleAppenderTest");
    logger.setLogLevel(log4cplus::WARN_LOG_LEVEL);
    logger.addAppender(log4cplus::SharedAppenderPtr(folding));
    const testsupport::LogCapture capture("FoldingConsoleAppenderTest");

    for (int key = 1; key <= 101; ++key) {
        LOG4CPLUS_WARN(logger, "Element has no type : " << key);
    }
    for (int key = 1; key <= 1100; ++key) {
        LOG4CPLUS_ERROR(logger, "Quantities not found for item : " << key);
    }
    LOG4CPLUS_WARN(logger, "Can't create quantities on project");
    LOG4CPLUS_INFO(logger, "below the level");
    folding->finish();

    const std::set<std::string> lines = linesOf(console);
    std::fclose(console);
    logger.removeAppender(log4cplus::SharedAppenderPtr(folding));
    EXPECT_EQ(capture.lines().size(), 101U + 1100U + 1U);
    EXPECT_EQ(lines.count("Element has no type : 100"), 1U);
    EXPECT_EQ(lines.count("Element has no type : 101"), 0U);
    EXPECT_EQ(lines.count("Quantities not found for item : 100"), 1U);
    EXPECT_EQ(lines.count("Quantities not found for item : 101"), 0U);
    EXPECT_EQ(lines.count("Can't create quantities on project"), 1U);
    EXPECT_EQ(lines.count("\u2026 and 1 more: Element has no type : #"), 1U);
    EXPECT_EQ(lines.count("\u2026 and 1 000 more: Quantities not found for item : #"), 1U);
    EXPECT_EQ(lines.size(), 100U + 100U + 1U + 2U);
}

} // namespace
