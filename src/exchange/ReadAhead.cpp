#include "exchange/ReadAhead.h"

namespace exchange {

namespace {

// Enough to keep both threads busy; little enough to hold in memory.
constexpr size_t contactsPerBatch = 256;
constexpr size_t batchesAhead = 8;

} // namespace

ReadAhead::ReadAhead(vcard::ContactFileReader& reader)
    : m_reader(reader), m_thread([this] { read(); }) {}

ReadAhead::~ReadAhead() {
    stop();
}

void ReadAhead::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void ReadAhead::read() {
    try {
        for (bool more = true; more;) {
            Batch batch;
            batch.contacts.reserve(contactsPerBatch);
            vcard::ReadContact contact;
            while (batch.contacts.size() < contactsPerBatch && (more = m_reader.readNext(contact)))
                batch.contacts.push_back(std::move(contact));
            batch.bytesRead = m_reader.bytesRead();
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_ready.size() < batchesAhead || m_stopped; });
            if (m_stopped)
                break;
            if (!batch.contacts.empty())
                m_ready.push_back(std::move(batch));
            m_changed.notify_all();
        }
    } catch (...) {
        const std::lock_guard lock(m_mutex);
        m_failure = std::current_exception();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_changed.notify_all();
}

bool ReadAhead::next(vcard::ReadContact& contact) {
    if (m_at == m_current.contacts.size()) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_ready.empty() || m_done; });
        if (m_ready.empty()) {
            if (m_failure)
                std::rethrow_exception(m_failure);
            return false;
        }
        m_current = std::move(m_ready.front());
        m_ready.pop_front();
        m_at = 0;
        m_changed.notify_all();
    }
    contact = std::move(m_current.contacts[m_at++]);
    return true;
}

} // namespace exchange
