#include "TextPipe.h"

#include <new>
#include <system_error>

namespace Step {

TextPipe::TextPipe(Make make, bool inBackground) : m_make(std::move(make))
{
    if (!inBackground) {
        return;
    }
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread to spare: drainTo() makes the text itself.
    }
}

TextPipe::~TextPipe()
{
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void TextPipe::run()
{
    bool made = false;
    try {
        made = m_make([this](std::string& piece) { return put(piece); });
    } catch (const std::bad_alloc&) {
        made = false;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = true;
        m_made = made;
    }
    m_changed.notify_all();
}

bool TextPipe::put(std::string& piece)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_stopped || m_pieces.size() < waitingPieces; });
    if (m_stopped) {
        return false;
    }
    m_pieces.push_back(std::move(piece));
    // Pieces are large: their memory goes round rather than being faulted
    // in anew for each.
    piece = std::move(m_spare);
    piece.clear();
    m_spare = std::string();
    lock.unlock();
    m_changed.notify_all();
    return true;
}

bool TextPipe::drainTo(const Sink& sink)
{
    if (!m_thread.joinable()) {
        return m_make([&sink](std::string& piece) {
            const bool taken = sink(piece);
            piece.clear();
            return taken;
        });
    }
    while (true) {
        std::string piece;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_done || !m_pieces.empty(); });
            if (m_pieces.empty()) {
                return m_made;
            }
            piece = std::move(m_pieces.front());
            m_pieces.pop_front();
        }
        m_changed.notify_all();
        if (!sink(piece)) {
            return false;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_spare.capacity() < piece.capacity()) {
            m_spare = std::move(piece);
        }
    }
}

} // namespace Step
