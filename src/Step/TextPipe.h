#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace Step {

/// Text made on a second thread while the caller writes something else,
/// handed over in pieces, in order. At most a few pieces wait at once, so
/// the text made ahead stays small.
class TextPipe
{
public:
    /// Takes the piece, leaving in its place an empty string that may have
    /// room already (a piece handed before); false stops the making.
    using Put = std::function<bool(std::string&)>;
    /// Makes the text, piece by piece; false when it cannot be made.
    using Make = std::function<bool(const Put&)>;
    using Sink = std::function<bool(std::string_view)>;

    /// With inBackground false, or when no thread can be started, the text
    /// is made by drainTo() itself.
    TextPipe(Make make, bool inBackground);
    /// Stops the making, if still going, and waits for it.
    ~TextPipe();
    TextPipe(const TextPipe&) = delete;
    TextPipe& operator=(const TextPipe&) = delete;

    /// Hands every piece to sink in order, as it comes; false when sink
    /// refused one or the text could not be made.
    bool drainTo(const Sink& sink);

private:
    void run();
    bool put(std::string& piece);

    static constexpr std::size_t waitingPieces = 1;

    Make m_make;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::string> m_pieces;
    std::string m_spare; ///< the last piece written, emptied, for the maker
    bool m_done = false;
    bool m_made = false;
    bool m_stopped = false;
    std::thread m_thread;
};

} // namespace Step
