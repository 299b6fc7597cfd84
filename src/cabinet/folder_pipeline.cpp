#include "cabinet/folder_pipeline.h"

#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/platform_file.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <fstream>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Blocks of the head folder that may wait for the writer before its worker
// waits in turn.
constexpr size_t kHeadQueueBlocks = 16;
// Block buffers kept for reuse, so that steady work allocates nothing.
constexpr size_t kSpareBuffers = 64;
constexpr size_t kNone = std::numeric_limits<size_t>::max();
// A spilled block: its encoded and uncompressed sizes, then its bytes.
constexpr size_t kSpillHeader = 8;

struct Block {
    std::vector<uint8_t> data;
    size_t uncompressed = 0;
};

// Ends a worker's job once the pipeline no longer needs its folder.
struct Stopped {};

// A folder in flight. Folder j uses slot j % threads, which is free again
// once folder j is written: fewer than `threads` folders are ever in flight.
// Its blocks reach the writer in this order: `memory`, the spill file, then
// `queue` (blocks handed over at the head after something was spilled).
struct Slot {
    size_t folder = kNone;
    std::deque<Block> memory;
    size_t memoryBytes = 0;
    bool spilling = false;
    size_t spilled = 0;  // complete records in the spill file
    std::deque<Block> queue;
    bool done = false;
    std::exception_ptr error;

    fs::path spillPath;
    std::ofstream spillOut;  // the worker's side
    std::ifstream spillIn;   // the writer's side
    size_t spillRead = 0;    // writer only
};

class Pipeline {
public:
    Pipeline(size_t folderCount, const FolderPipelineSettings& settings, const FolderJob& job, FolderSink& sink)
        : count_(folderCount), threads_(std::max(1u, settings.threads)), folderMemory_(settings.folderMemory),
          job_(job), sink_(sink) {
        for (unsigned t = 0; t < threads_; ++t) {
            slots_.push_back(std::make_unique<Slot>());
            slots_.back()->spillPath = settings.spillFiles.at(t);
        }
    }

    ~Pipeline() {
        {
            std::lock_guard lock(m_);
            stopped_ = true;
        }
        workers_.notify_all();
        for (auto& thread : pool_) thread.join();
        for (auto& slot : slots_) {
            slot->spillOut.close();
            slot->spillIn.close();
            std::error_code ec;
            fs::remove(slot->spillPath, ec);
        }
    }

    void Run() {
        for (unsigned t = 0; t < std::min<size_t>(threads_, count_); ++t) pool_.emplace_back([this, t] { Work(t); });
        std::vector<uint8_t> spillBuffer;
        for (size_t folder = 0; folder < count_; ++folder) {
            sink_.BeginFolder(folder);
            Slot& slot = *slots_[folder % threads_];
            std::unique_lock lock(m_);
            for (;;) {
                writer_.wait(lock, [&] {
                    return slot.folder == folder && (!slot.memory.empty() || slot.spillRead < slot.spilled ||
                                                     !slot.queue.empty() || slot.done);
                });
                if (!slot.memory.empty() || (!slot.queue.empty() && slot.spillRead == slot.spilled)) {
                    auto& from = slot.memory.empty() ? slot.queue : slot.memory;
                    Block block = std::move(from.front());
                    from.pop_front();
                    if (&from == &slot.memory) slot.memoryBytes -= block.data.size();
                    lock.unlock();
                    workers_.notify_all();
                    sink_.WriteBlock(block.data, block.uncompressed);
                    lock.lock();
                    Recycle(std::move(block.data));
                } else if (slot.spillRead < slot.spilled) {
                    lock.unlock();
                    const size_t uncompressed = ReadSpilled(slot, spillBuffer);
                    sink_.WriteBlock(spillBuffer, uncompressed);
                    ++slot.spillRead;
                    lock.lock();
                } else {
                    break;
                }
            }
            if (slot.error) {
                const auto error = slot.error;
                lock.unlock();
                std::rethrow_exception(error);
            }
            slot.spillIn.close();
            slot.spillRead = 0;
            written_ = folder + 1;
            lock.unlock();
            workers_.notify_all();
            sink_.EndFolder(folder);
        }
    }

private:
    void Work(unsigned worker) {
        for (;;) {
            Slot* slot;
            size_t folder;
            {
                std::unique_lock lock(m_);
                workers_.wait(lock, [&] {
                    return stopped_ || failedAt_ != kNone || next_ >= count_ || next_ < written_ + threads_;
                });
                if (stopped_ || failedAt_ != kNone || next_ >= count_) return;
                folder = next_++;
                slot = slots_[folder % threads_].get();
                slot->folder = folder;
                slot->memoryBytes = 0;
                slot->spilling = false;
                slot->spilled = 0;
                slot->done = false;
                slot->error = nullptr;
            }
            std::exception_ptr error;
            try {
                job_(worker, folder, [&](std::span<const uint8_t> data, size_t uncompressed) {
                    Emit(*slot, folder, data, uncompressed);
                });
            } catch (const Stopped&) {
            } catch (...) {
                error = std::current_exception();
            }
            slot->spillOut.close();
            {
                std::lock_guard lock(m_);
                slot->done = true;
                slot->error = error;
                if (error) failedAt_ = std::min(failedAt_, folder);
            }
            writer_.notify_one();
            if (error) workers_.notify_all();
        }
    }

    // Hands one encoded block of `folder` on: to the writer's queue at the
    // head of the line, otherwise to memory or, past the folder's share, to
    // its spill file.
    void Emit(Slot& slot, size_t folder, std::span<const uint8_t> data, size_t uncompressed) {
        std::unique_lock lock(m_);
        for (;;) {
            // A folder after a failed one will never be written.
            if (stopped_ || folder > failedAt_) throw Stopped{};
            if (folder == written_) {
                if (slot.memory.size() + slot.queue.size() < kHeadQueueBlocks) break;
                workers_.wait(lock);
                continue;
            }
            if (slot.spilling || slot.memoryBytes + data.size() > folderMemory_) {
                slot.spilling = true;
                lock.unlock();
                Spill(slot, data, uncompressed);
                lock.lock();
                ++slot.spilled;
                lock.unlock();
                writer_.notify_one();
                return;
            }
            break;
        }
        Block block{TakeBuffer(), uncompressed};
        block.data.assign(data.begin(), data.end());
        if (slot.spilling) {
            slot.queue.push_back(std::move(block));
        } else {
            slot.memoryBytes += data.size();
            slot.memory.push_back(std::move(block));
        }
        const bool head = folder == written_;
        lock.unlock();
        if (head) writer_.notify_one();
    }

    void Spill(Slot& slot, std::span<const uint8_t> data, size_t uncompressed) {
        if (!slot.spillOut.is_open()) {
            slot.spillOut.open(slot.spillPath, std::ios::binary | std::ios::trunc);
            if (!slot.spillOut)
                throw CabError(CabErrorKind::CreateCabinet,
                               L"Nie można utworzyć pliku tymczasowego „" + WideFromPath(slot.spillPath) + L"”.");
        }
        uint8_t header[kSpillHeader];
        cab::Put32(header, static_cast<uint32_t>(data.size()));
        cab::Put32(header + 4, static_cast<uint32_t>(uncompressed));
        slot.spillOut.write(reinterpret_cast<const char*>(header), sizeof header);
        slot.spillOut.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        // The writer reads the file through its own handle.
        slot.spillOut.flush();
        if (!slot.spillOut)
            throw CabError(CabErrorKind::CreateCabinet, L"Błąd zapisu pliku tymczasowego „" +
                                                            WideFromPath(slot.spillPath) +
                                                            L"” (może brakuje miejsca na dysku).");
    }

    // The next spilled block of the head folder into buffer; its uncompressed size.
    static size_t ReadSpilled(Slot& slot, std::vector<uint8_t>& buffer) {
        if (!slot.spillIn.is_open()) slot.spillIn.open(slot.spillPath, std::ios::binary);
        uint8_t header[kSpillHeader];
        slot.spillIn.read(reinterpret_cast<char*>(header), sizeof header);
        buffer.resize(slot.spillIn ? cab::Get32(header) : 0);
        slot.spillIn.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
        if (!slot.spillIn)
            throw CabError(CabErrorKind::CreateCabinet,
                           L"Błąd odczytu pliku tymczasowego „" + WideFromPath(slot.spillPath) + L"”.");
        return cab::Get32(header + 4);
    }

    // Both under the lock.
    std::vector<uint8_t> TakeBuffer() {
        if (spare_.empty()) return {};
        auto buffer = std::move(spare_.back());
        spare_.pop_back();
        return buffer;
    }
    void Recycle(std::vector<uint8_t> buffer) {
        if (spare_.size() < kSpareBuffers) spare_.push_back(std::move(buffer));
    }

    const size_t count_;
    const unsigned threads_;
    const size_t folderMemory_;
    const FolderJob& job_;
    FolderSink& sink_;

    std::mutex m_;
    std::condition_variable workers_;  // a folder written, room at the head, stop
    std::condition_variable writer_;   // a block or the end of a folder
    size_t next_ = 0;                  // the next folder to take
    size_t written_ = 0;               // folders written; folder written_ is the head
    size_t failedAt_ = kNone;          // the first folder whose job failed
    bool stopped_ = false;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::vector<std::vector<uint8_t>> spare_;
    std::vector<std::thread> pool_;
};

}  // namespace

void RunFolderPipeline(size_t folderCount, const FolderPipelineSettings& settings, const FolderJob& job,
                       FolderSink& sink) {
    Pipeline pipeline(folderCount, settings, job, sink);
    pipeline.Run();
}
