#include "ui/chunked_work.h"

namespace quillmark {

ChunkedWork::ChunkedWork() {
    m_next.setSingleShot(true);
    m_next.setInterval(0);
    QObject::connect(&m_next, &QTimer::timeout, &m_next, [this] { runPart(); });
}

void ChunkedWork::start(Part part) {
    stop();
    m_part = std::move(part);
    runPart();
}

void ChunkedWork::stop() {
    ++m_run;
    m_next.stop();
    m_part = nullptr;
}

void ChunkedWork::runPart() {
    const std::uint64_t run = m_run;
    // A copy: the part may start other work, which replaces m_part while this one runs.
    const Part part = m_part;
    const bool more = part();
    if (run != m_run)
        return;
    if (more)
        m_next.start();
    else
        m_part = nullptr;
}

} // namespace quillmark
