#pragma once
// Long work in a window, done a part at a time between the window's events, so that the
// window stays responsive and the work can be stopped or replaced before it ends.

#include <QTimer>
#include <cstdint>
#include <functional>

namespace quillmark {

class ChunkedWork {
public:
    // Does one part of the work; false once nothing is left.
    using Part = std::function<bool()>;

    ChunkedWork();
    ChunkedWork(const ChunkedWork&) = delete;
    ChunkedWork& operator=(const ChunkedWork&) = delete;

    // Drops any work under way, runs the first part at once and the others one per turn
    // of the event loop. A part may itself stop the work or start other work.
    void start(Part part);
    void stop();
    bool isRunning() const { return static_cast<bool>(m_part); }

private:
    void runPart();

    Part m_part;
    QTimer m_next;
    std::uint64_t m_run = 0; // counts starts and stops, so a part sees that it was replaced
};

} // namespace quillmark
