#pragma once

#include "formats/ContactFileReader.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace exchange {

// Reads a file's contacts on a thread of its own, a few batches ahead of
// the one who stores them, so that taking a large file apart overlaps with
// writing it into the database. The reader is not touched by anyone else
// until stop() has returned.
class ReadAhead {
public:
    explicit ReadAhead(vcard::ContactFileReader& reader);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next contact; false at the end of the input. Rethrows what the
    // reading thread ran into.
    bool next(vcard::ReadContact& contact);
    // How far the reader was when the contact last given was read.
    qint64 bytesRead() const { return m_current.bytesRead; }
    // Ends the reading thread; afterwards the reader may be asked again.
    void stop();

private:
    struct Batch {
        std::vector<vcard::ReadContact> contacts;
        qint64 bytesRead = 0;
    };
    void read();

    vcard::ContactFileReader& m_reader;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_ready;
    bool m_done = false;    // the reading thread has read its last
    bool m_stopped = false; // the reading thread is to end
    std::exception_ptr m_failure;
    Batch m_current;
    size_t m_at = 0;
    std::thread m_thread; // last: it starts once the rest is made
};

} // namespace exchange
