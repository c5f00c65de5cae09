#pragma once

#include <log4cplus/appender.h>

#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

/// The batch command's console: records are written in large blocks rather
/// than flushed one by one, and a message repeated for every element (its
/// numbers aside) is shown only its first `shownRepeats` times; the others
/// are counted and reported by finish(), one line per message:
/// "… and 1 499 900 more: Element has no type : #".
///
/// Only the console is folded: the records still reach every other appender.
class FoldingConsoleAppender : public log4cplus::Appender
{
public:
    static constexpr int shownRepeats = 100;

    explicit FoldingConsoleAppender(std::FILE* stream);
    ~FoldingConsoleAppender() override;

    /// Writes the counts of folded messages and everything still buffered.
    void finish();
    void close() override;

protected:
    void append(const log4cplus::spi::InternalLoggingEvent& event) override;

private:
    struct Repeats
    {
        std::string message;
        long long count = 0;
    };

    /// Sets m_folded to the message as it is counted: every run of digits
    /// (keys, values) becomes "#".
    void fold(const std::string& message);
    void writeBuffer();

    std::FILE* m_stream;
    std::string m_buffer;
    /// Reused from record to record: most messages are repeats.
    std::string m_folded;
    std::unordered_map<std::string, std::size_t> m_indexes;
    /// In order of first appearance, so that the counts read in the order
    /// the messages came.
    std::vector<Repeats> m_repeats;
};
