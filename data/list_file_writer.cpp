#include "data/list_file_writer.h"

#include "data/scrambled_list_file.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

namespace lumaro {

namespace {

class ListFileWriter {
public:
    ~ListFileWriter() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join(); // drains the queue first
    }

    void Save(std::string fileName, std::string bytes) {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(fileName, error);
        if (!error) fileName = absolute.string();
        std::lock_guard lock(mutex_);
        for (Job& job : queue_) {
            if (job.fileName == fileName) {
                job.bytes = std::move(bytes);
                return;
            }
        }
        queue_.push_back({std::move(fileName), std::move(bytes), ++queued_});
        if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
        wake_.notify_all();
    }

    void Flush() {
        std::unique_lock lock(mutex_);
        const std::uint64_t target = queued_;
        done_.wait(lock, [&] { return finished_ >= target; });
    }

private:
    struct Job {
        std::string fileName;
        std::string bytes;
        std::uint64_t number;
    };

    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return; // stopping, nothing left
            Job job = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            try {
                WriteFileAtomically(job.fileName, job.bytes);
            } catch (const ListFileError&) {
            }
            lock.lock();
            // Replaced saves were merged into this one, so it finishes them too.
            finished_ = queue_.empty() ? queued_ : queue_.front().number - 1;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<Job> queue_;
    std::uint64_t queued_ = 0;   // saves asked for
    std::uint64_t finished_ = 0; // saves done or failed, in order
    bool stopping_ = false;
    std::thread thread_;
};

ListFileWriter& Writer() {
    static ListFileWriter writer;
    return writer;
}

} // namespace

void SaveListFileLater(const std::string& fileName, std::string bytes) {
    Writer().Save(fileName, std::move(bytes));
}

void FlushListFileSaves() { Writer().Flush(); }

} // namespace lumaro
