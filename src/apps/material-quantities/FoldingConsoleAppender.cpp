#include "FoldingConsoleAppender.h"

#include <log4cplus/spi/loggingevent.h>
#include <log4cplus/thread/syncprims.h>

#include <algorithm>

namespace {

/// Flushing a line at a time made a million warnings cost minutes.
constexpr std::size_t bufferSize = 64 * 1024;

/// 1499900 as "1 499 900".
std::string groupedDigits(long long count)
{
    std::string digits = std::to_string(count);
    for (int position = static_cast<int>(digits.size()) - 3; position > 0; position -= 3) {
        digits.insert(static_cast<std::size_t>(position), 1, ' ');
    }
    return digits;
}

} // namespace

FoldingConsoleAppender::FoldingConsoleAppender(std::FILE* stream) : m_stream(stream)
{
    m_buffer.reserve(bufferSize);
}

FoldingConsoleAppender::~FoldingConsoleAppender()
{
    destructorImpl();
}

void FoldingConsoleAppender::fold(const std::string& message)
{
    // Copied a run of text at a time: appending character by character cost
    // more than the rest of a record's way through the appender.
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    m_folded.clear();
    auto from = message.begin();
    while (from != message.end()) {
        const auto digits = std::find_if(from, message.end(), isDigit);
        m_folded.append(from, digits);
        if (digits == message.end()) {
            break;
        }
        m_folded += '#';
        from = std::find_if_not(digits, message.end(), isDigit);
    }
}

void FoldingConsoleAppender::append(const log4cplus::spi::InternalLoggingEvent& event)
{
    fold(event.getMessage());
    auto position = m_indexes.find(m_folded);
    if (position == m_indexes.end()) {
        position = m_indexes.emplace(m_folded, m_repeats.size()).first;
        m_repeats.push_back({m_folded, 0});
    }
    Repeats& repeats = m_repeats[position->second];
    if (++repeats.count > shownRepeats) {
        return;
    }
    m_buffer += formatEvent(event);
    if (m_buffer.size() >= bufferSize) {
        writeBuffer();
    }
}

void FoldingConsoleAppender::finish()
{
    log4cplus::thread::MutexGuard guard(access_mutex);
    for (Repeats& repeats : m_repeats) {
        if (repeats.count > shownRepeats) {
            m_buffer +=
                "\u2026 and " + groupedDigits(repeats.count - shownRepeats) + " more: " + repeats.message + '\n';
        }
        repeats.count = 0;
    }
    writeBuffer();
    std::fflush(m_stream);
}

void FoldingConsoleAppender::close()
{
    if (!closed) {
        finish();
        closed = true;
    }
}

void FoldingConsoleAppender::writeBuffer()
{
    std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_stream);
    m_buffer.clear();
}
