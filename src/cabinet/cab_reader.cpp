#include "cabinet/cab_reader.h"

#include "cabinet/cab_error.h"
#include "cabinet/cab_format.h"
#include "cabinet/folder_decoder.h"
#include "cabinet/stored_name.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace {

std::wstring SpanningMessage(const CabEntry& entry) {
    return L"Plik „" + entry.name +
           L"” jest podzielony między kilka archiwów zestawu; takich plików ten program nie rozpakowuje.";
}

// Thrown on a worker when the extraction stops; never leaves Extract.
struct StopSignal {};

// Hands the workers' calls to the thread that called Extract. Folders get
// ranks in the order a single thread would take them; the calls of a rank run
// only after every call of the ranks before it, and the head rank moves on
// when its folder is done. Workers stay at most two folders per thread ahead
// of the head, so the calls waiting here stay few.
class CallerQueue {
public:
    CallerQueue(size_t ranks, unsigned threads) : ranks_(ranks), lead_(2 * size_t{threads}) {}

    bool TakeRank(size_t& rank) {
        std::unique_lock lock(mutex_);
        workerWake_.wait(lock, [&] { return stopped_ || next_ >= ranks_.size() || next_ < head_ + lead_; });
        if (stopped_ || next_ >= ranks_.size()) return false;
        rank = next_++;
        return true;
    }

    void Post(size_t rank, std::function<void()> fn) {
        std::lock_guard lock(mutex_);
        if (stopped_) throw StopSignal{};
        ranks_[rank].items.push_back({std::move(fn), nullptr, nullptr, nullptr, nullptr});
        if (rank == head_) callerWake_.notify_one();
    }

    void Call(size_t rank, const std::function<void()>& fn) {
        bool taken = false, ran = false;
        std::exception_ptr thrown;
        std::unique_lock lock(mutex_);
        if (stopped_) throw StopSignal{};
        ranks_[rank].items.push_back({{}, &fn, &taken, &ran, &thrown});
        if (rank == head_) callerWake_.notify_one();
        // Once the caller took the call, it runs to its end even if the
        // extraction stops meanwhile: fn and the flags live here.
        workerWake_.wait(lock, [&] { return ran || (stopped_ && !taken); });
        if (!ran) throw StopSignal{};
        if (thrown) std::rethrow_exception(thrown);
    }

    void Done(size_t rank) {
        std::lock_guard lock(mutex_);
        ranks_[rank].done = true;
        if (rank == head_) callerWake_.notify_one();
    }

    void Fail(std::exception_ptr error) {
        std::lock_guard lock(mutex_);
        StopLocked(std::move(error));
    }

    bool Stopped() const { return stoppedFlag_.load(std::memory_order_relaxed); }
    std::exception_ptr Error() const { return error_; }

    // The caller's side: runs the calls in order until every rank is done
    // or the extraction stopped.
    void Serve() {
        std::unique_lock lock(mutex_);
        for (;;) {
            callerWake_.wait(lock, [&] {
                return stopped_ || head_ >= ranks_.size() || !ranks_[head_].items.empty() || ranks_[head_].done;
            });
            if (stopped_ || head_ >= ranks_.size()) return;
            Rank& rank = ranks_[head_];
            if (rank.items.empty()) {
                ++head_;
                workerWake_.notify_all();
                continue;
            }
            Item item = std::move(rank.items.front());
            rank.items.pop_front();
            if (item.taken) *item.taken = true;
            lock.unlock();
            std::exception_ptr thrown;
            try {
                if (item.call)
                    (*item.call)();
                else
                    item.fn();
            } catch (...) {
                thrown = std::current_exception();
            }
            lock.lock();
            if (item.call) {
                *item.thrown = thrown;
                *item.ran = true;
                workerWake_.notify_all();
            } else if (thrown) {
                StopLocked(thrown);
            }
        }
    }

private:
    struct Item {
        std::function<void()> fn;
        const std::function<void()>* call;
        bool* taken;
        bool* ran;
        std::exception_ptr* thrown;
    };
    struct Rank {
        std::deque<Item> items;
        bool done = false;
    };

    void StopLocked(std::exception_ptr error) {
        if (!error_) error_ = std::move(error);
        stopped_ = true;
        stoppedFlag_.store(true, std::memory_order_relaxed);
        workerWake_.notify_all();
        callerWake_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable workerWake_, callerWake_;
    std::vector<Rank> ranks_;
    size_t lead_;
    size_t head_ = 0, next_ = 0;
    bool stopped_ = false;
    std::atomic<bool> stoppedFlag_{false};
    std::exception_ptr error_;
};

// What the current thread's folder reports through: a queue (worker of a
// parallel pass) or the caller itself (a single thread), where a throw from
// a posted call is kept to be rethrown by Extract.
struct Channel {
    CallerQueue* queue = nullptr;
    size_t rank = 0;
    std::exception_ptr* inlineError = nullptr;
};
thread_local Channel* tChannel = nullptr;

class ChannelScope {
public:
    explicit ChannelScope(Channel& channel) : previous_(tChannel) { tChannel = &channel; }
    ~ChannelScope() { tChannel = previous_; }

private:
    Channel* previous_;
};

void ThrowIfStopped() {
    if (tChannel && tChannel->queue && tChannel->queue->Stopped()) throw StopSignal{};
}

// Decodes and discards: what Test delivers to.
class DiscardTarget : public ExtractTarget {
public:
    bool Concurrent() const override { return true; }
    bool Begin(size_t, const CabEntry&) override { return true; }
    void Write(size_t, std::span<const uint8_t>) override {}
    void Finish(size_t) override {}
    void Abort(size_t) noexcept override {}
};

}  // namespace

void PostToCaller(std::function<void()> fn) {
    Channel* channel = tChannel;
    if (channel && channel->queue) {
        channel->queue->Post(channel->rank, std::move(fn));
        return;
    }
    if (!channel || !channel->inlineError) {
        fn();
        return;
    }
    try {
        fn();
    } catch (...) {
        *channel->inlineError = std::current_exception();
        throw StopSignal{};
    }
}

void CallOnCaller(const std::function<void()>& fn) {
    Channel* channel = tChannel;
    if (channel && channel->queue)
        channel->queue->Call(channel->rank, fn);
    else
        fn();
}

CabReader::CabReader(std::unique_ptr<ByteSource> source) : source_(std::move(source)) { ReadTables(); }

CabReader CabReader::Open(const std::filesystem::path& path) {
    return CabReader(std::make_unique<FileSource>(path));
}

// The tables are read through a window of the archive's first bytes, so that
// thousands of entries cost a few reads, not two each.
void CabReader::ReadTableBytes(uint64_t offset, std::span<uint8_t> out) {
    constexpr size_t kWindow = size_t{64} << 10;
    if (offset >= tableStart_ && offset - tableStart_ + out.size() <= tableBytes_.size()) {
        std::memcpy(out.data(), tableBytes_.data() + (offset - tableStart_), out.size());
        return;
    }
    const uint64_t size = source_->Size();
    if (offset >= size || out.size() > size - offset) {
        source_->ReadAt(offset, out);  // fails as a read past the end does
        return;
    }
    tableBytes_.resize(static_cast<size_t>(std::min<uint64_t>(std::max(kWindow, out.size()), size - offset)));
    tableStart_ = offset;
    source_->ReadAt(offset, tableBytes_);
    std::memcpy(out.data(), tableBytes_.data(), out.size());
}

std::string CabReader::ReadName(uint64_t& offset) {
    uint8_t buf[cab::kMaxNameBytes + 1];
    const uint64_t left = offset < source_->Size() ? source_->Size() - offset : 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(sizeof buf, left));
    ReadTableBytes(offset, std::span(buf, n));
    const auto* end = static_cast<const uint8_t*>(std::memchr(buf, 0, n));
    if (!end) ThrowDamaged(L"nazwa w nagłówku nie ma zakończenia");
    offset += static_cast<uint64_t>(end - buf) + 1;
    return std::string(reinterpret_cast<const char*>(buf), static_cast<size_t>(end - buf));
}

void CabReader::ReadTables() {
    uint8_t h[cab::kHeaderSize];
    if (source_->Size() < 4) throw CabError(CabErrorKind::NotCabinet, L"Plik nie jest archiwum CAB.");
    ReadTableBytes(0, std::span(h, 4));
    if (std::memcmp(h, cab::kSignature, 4) != 0)
        throw CabError(CabErrorKind::NotCabinet, L"Plik nie jest archiwum CAB.");
    if (source_->Size() < cab::kHeaderSize) ThrowDamaged(L"nagłówek jest niepełny");
    ReadTableBytes(0, std::span(h, cab::kHeaderSize));
    const uint16_t folderCount = cab::Get16(h + cab::header::kFolderCount);
    const uint16_t fileCount = cab::Get16(h + cab::header::kFileCount);
    const uint16_t flags = cab::Get16(h + cab::header::kFlags);
    set_.setId = cab::Get16(h + cab::header::kSetId);
    set_.index = cab::Get16(h + cab::header::kCabinetIndex);
    if (fileCount > 0 && folderCount == 0) ThrowDamaged(L"archiwum ma pliki, ale żadnego folderu");

    uint64_t offset = cab::kHeaderSize;
    uint8_t folderReserve = 0;
    if (flags & cab::kFlagReservePresent) {
        uint8_t r[cab::header::kReserveFieldsSize];
        ReadTableBytes(offset, std::span(r, cab::header::kReserveFieldsSize));
        const uint16_t headerReserve = cab::Get16(r + cab::header::kReserveHeader);
        folderReserve = r[cab::header::kReserveFolder];
        dataReserve_ = r[cab::header::kReserveData];
        offset += cab::header::kReserveFieldsSize + headerReserve;
    }
    if (flags & cab::kFlagPrevCabinet) {
        set_.previousCabinet = ReadName(offset);
        ReadName(offset);  // disk name
    }
    if (flags & cab::kFlagNextCabinet) {
        set_.nextCabinet = ReadName(offset);
        ReadName(offset);
    }

    folders_.resize(folderCount);
    for (auto& folder : folders_) {
        uint8_t f[cab::kFolderSize];
        ReadTableBytes(offset, std::span(f, cab::kFolderSize));
        folder.dataOffset = cab::Get32(f + cab::folder::kDataOffset);
        folder.blockCount = cab::Get16(f + cab::folder::kBlockCount);
        folder.typeCompress = cab::Get16(f + cab::folder::kTypeCompress);
        folder.compression = CabCompression::FromCode(folder.typeCompress);
        offset += cab::kFolderSize + folderReserve;
    }

    // The file table follows the folders. Its stated offset is not used:
    // readers disagree on it, and the platform's tools and cabextract read on
    // from the folders, so a crafted offset cannot show other files here.
    entries_.resize(fileCount);
    for (auto& entry : entries_) {
        uint8_t f[cab::kFileFixedSize];
        ReadTableBytes(offset, std::span(f, cab::kFileFixedSize));
        offset += cab::kFileFixedSize;
        entry.size = cab::Get32(f + cab::file::kSize);
        entry.folderOffset = cab::Get32(f + cab::file::kFolderOffset);
        entry.folder = cab::Get16(f + cab::file::kFolder);
        entry.date = cab::Get16(f + cab::file::kDate);
        entry.time = cab::Get16(f + cab::file::kTime);
        entry.attributes = cab::Get16(f + cab::file::kAttributes);
        entry.storedName = ReadName(offset);
        entry.name = DecodeStoredName(entry.storedName, entry.attributes);
        if (!entry.Spans() && entry.folder >= folderCount)
            ThrowDamaged(L"plik „" + entry.name + L"” wskazuje nieistniejący folder");
    }
    std::vector<uint8_t>().swap(tableBytes_);
}

CabCompression CabReader::Compression() const {
    return folders_.empty() ? CabCompression{} : folders_.front().compression;
}

unsigned CabReader::DefaultThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

const std::vector<CabReader::FolderLayout>& CabReader::Layout() {
    if (layoutRead_) return layout_;
    layout_.assign(folders_.size(), {});
    const uint64_t fileSize = source_->Size();
    const size_t headerSize = cab::kDataHeaderSize + dataReserve_;
    std::vector<size_t> order;
    for (size_t f = 0; f < folders_.size(); ++f)
        if (folders_[f].blockCount > 0) order.push_back(f);
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return folders_[a].dataOffset != folders_[b].dataOffset ? folders_[a].dataOffset < folders_[b].dataOffset
                                                                : a < b;
    });
    for (size_t i = 0; i < order.size(); ++i) {
        const CabFolder& folder = folders_[order[i]];
        FolderLayout& layout = layout_[order[i]];
        auto refuse = [&](std::wstring why) {
            layout.refused = true;
            layout.fault = std::move(why);
        };
        switch (folder.compression.method) {
            case CabMethod::Quantum:
                refuse(L"Archiwum używa kompresji Quantum, której ten program nie obsługuje.");
                continue;
            case CabMethod::Unknown: refuse(L"Archiwum używa nieznanej metody kompresji."); continue;
            case CabMethod::Lzx:
                if (folder.compression.lzxWindowBits < 15 || folder.compression.lzxWindowBits > 21) {
                    refuse(DamagedMessage(L"nieprawidłowy rozmiar okna LZX"));
                    continue;
                }
                break;
            default: break;
        }
        // Folders starting at the same place share all their data; a folder
        // whose blocks run into the next folder's start shares that folder's.
        // The next folder itself stays: its own blocks are its own, and damage
        // to one folder's block headers must not cost the entries of another.
        const bool sameStart = (i > 0 && folders_[order[i - 1]].dataOffset == folder.dataOffset) ||
                               (i + 1 < order.size() && folders_[order[i + 1]].dataOffset == folder.dataOffset);
        if (sameStart) {
            refuse(DamagedMessage(L"foldery współdzielą dane"));
            continue;
        }
        const uint64_t limit = i + 1 < order.size() ? folders_[order[i + 1]].dataOffset : UINT64_MAX;
        uint64_t at = folder.dataOffset;
        for (size_t b = 0; b < folder.blockCount; ++b) {
            uint8_t header[cab::kDataHeaderSize];
            if (at > fileSize || headerSize > fileSize - at) {
                layout.fault = DamagedMessage(L"dane wykraczają poza koniec pliku");
                break;
            }
            source_->ReadAt(at, std::span(header, cab::kDataHeaderSize));
            const uint16_t cbData = cab::Get16(header + cab::data::kCompressed);
            const uint16_t cbUncomp = cab::Get16(header + cab::data::kUncompressed);
            if (cbUncomp == 0 || cbUncomp > cab::kBlockSize) {
                layout.fault = DamagedMessage(L"blok danych ma nieprawidłowy rozmiar");
                break;
            }
            const uint64_t end = at + headerSize + cbData;
            if (end > limit) {
                refuse(DamagedMessage(L"dane folderu zachodzą na dane innego folderu"));
                break;
            }
            if (end > fileSize) {
                layout.fault = DamagedMessage(L"dane wykraczają poza koniec pliku");
                break;
            }
            layout.size += cbUncomp;
            at = end;
            layout.end = at;
        }
    }
    layoutRead_ = true;
    return layout_;
}

std::wstring CabReader::EntryFault(size_t index) {
    const CabEntry& entry = entries_.at(index);
    if (entry.Spans()) return SpanningMessage(entry);
    if (entry.name.empty()) return DamagedMessage(L"plik nr " + std::to_wstring(index + 1) + L" nie ma nazwy");
    if (entry.size == 0) return {};
    const FolderLayout& layout = Layout()[entry.folder];
    if (layout.refused) return layout.fault;
    if (uint64_t{entry.folderOffset} + entry.size <= layout.size) return {};
    if (!layout.fault.empty()) return layout.fault;
    return DamagedMessage(L"plik „" + entry.name + L"” wykracza poza dane swojego folderu");
}

std::vector<CabEntryFailure> CabReader::Extract(const std::vector<size_t>& indexes, ExtractTarget& target,
                                                const BlockCallback& onBlock, unsigned threads) {
    std::vector<CabEntryFailure> failures;
    std::vector<std::vector<size_t>> byFolder(folders_.size());
    std::vector<const CabEntry*> sound;
    for (size_t index : indexes) {
        std::wstring fault = EntryFault(index);
        if (!fault.empty()) {
            failures.push_back({index, std::move(fault)});
            continue;
        }
        byFolder[entries_[index].folder].push_back(index);
        sound.push_back(&entries_[index]);
    }
    target.Prepare(sound);
    std::vector<FolderJob> jobs;
    for (size_t folder = 0; folder < byFolder.size(); ++folder)
        if (!byFolder[folder].empty()) jobs.push_back({static_cast<uint16_t>(folder), std::move(byFolder[folder]), false});
    std::vector<CabEntryFailure> more = Run(jobs, target, onBlock, threads);
    failures.insert(failures.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    std::stable_sort(failures.begin(), failures.end(),
                     [](const CabEntryFailure& a, const CabEntryFailure& b) { return a.index < b.index; });
    return failures;
}

std::vector<CabEntryFailure> CabReader::Test(const BlockCallback& onBlock, unsigned threads) {
    std::vector<CabEntryFailure> failures;
    std::vector<std::vector<size_t>> byFolder(folders_.size());
    const auto& layout = Layout();
    std::vector<bool> faultShown(folders_.size(), false);
    for (size_t index = 0; index < entries_.size(); ++index) {
        std::wstring fault = EntryFault(index);
        const CabEntry& entry = entries_[index];
        if (fault.empty()) {
            byFolder[entry.folder].push_back(index);
            continue;
        }
        if (!entry.Spans() && entry.folder < folders_.size() && fault == layout[entry.folder].fault)
            faultShown[entry.folder] = true;
        failures.push_back({index, std::move(fault)});
    }
    std::vector<FolderJob> jobs;
    for (size_t folder = 0; folder < folders_.size(); ++folder) {
        if (layout[folder].refused) {
            const bool said = faultShown[folder] || std::any_of(failures.begin(), failures.end(), [&](const auto& f) {
                                  return f.index == CabEntryFailure::kNoEntry && f.message == layout[folder].fault;
                              });
            if (!said) failures.push_back({CabEntryFailure::kNoEntry, layout[folder].fault});
            continue;
        }
        if (folders_[folder].blockCount > 0)
            jobs.push_back({static_cast<uint16_t>(folder), std::move(byFolder[folder]), true});
    }
    DiscardTarget discard;
    for (auto& failure : Run(jobs, discard, onBlock, threads)) {
        // Damage past the entries: once per folder, unless an entry already says it.
        if (failure.index == CabEntryFailure::kNoEntry) {
            const bool said = std::any_of(failures.begin(), failures.end(), [&](const CabEntryFailure& f) {
                return f.message == failure.message;
            });
            if (said) continue;
        }
        failures.push_back(std::move(failure));
    }
    std::stable_sort(failures.begin(), failures.end(),
                     [](const CabEntryFailure& a, const CabEntryFailure& b) { return a.index < b.index; });
    return failures;
}

std::vector<CabEntryFailure> CabReader::Run(std::vector<FolderJob>& jobs, ExtractTarget& target,
                                            const BlockCallback& onBlock, unsigned threads) {
    for (FolderJob& job : jobs)
        std::stable_sort(job.indexes.begin(), job.indexes.end(), [&](size_t a, size_t b) {
            return entries_[a].folderOffset < entries_[b].folderOffset;
        });
    std::vector<std::vector<CabEntryFailure>> failures(jobs.size());
    if (threads == 0) threads = DefaultThreads();
    threads = static_cast<unsigned>(std::min<size_t>(threads, jobs.size()));
    if (!target.Concurrent()) threads = 1;

    if (threads <= 1) {
        std::exception_ptr error;
        Channel channel{nullptr, 0, &error};
        ChannelScope scope(channel);
        FolderDecoderCache cache;
        try {
            for (size_t j = 0; j < jobs.size(); ++j) ExtractFolder(jobs[j], target, onBlock, failures[j], cache);
        } catch (const StopSignal&) {
            std::rethrow_exception(error);
        }
    } else {
        CallerQueue queue(jobs.size(), threads);
        auto work = [&] {
            size_t rank;
            FolderDecoderCache cache;
            while (queue.TakeRank(rank)) {
                Channel channel{&queue, rank, nullptr};
                ChannelScope scope(channel);
                try {
                    ExtractFolder(jobs[rank], target, onBlock, failures[rank], cache);
                } catch (const StopSignal&) {
                } catch (...) {
                    queue.Fail(std::current_exception());
                }
                queue.Done(rank);
            }
        };
        std::vector<std::thread> workers;
        try {
            for (unsigned t = 0; t < threads; ++t) workers.emplace_back(work);
        } catch (const std::system_error&) {
            if (workers.empty()) queue.Fail(std::current_exception());
        }
        queue.Serve();
        for (auto& worker : workers) worker.join();
        if (queue.Error()) std::rethrow_exception(queue.Error());
    }
    std::vector<CabEntryFailure> all;
    for (auto& list : failures)
        all.insert(all.end(), std::make_move_iterator(list.begin()), std::make_move_iterator(list.end()));
    return all;
}

void CabReader::ExtractFolder(const FolderJob& job, ExtractTarget& target, const BlockCallback& onBlock,
                              std::vector<CabEntryFailure>& failures, FolderDecoderCache& cache) {
    const std::vector<size_t>& indexes = job.indexes;
    std::vector<size_t> active;  // begun, not yet complete
    auto fail = [&](size_t index, const std::wstring& message, bool begun) {
        if (begun) target.Abort(index);
        failures.push_back({index, message});
    };
    // Runs one step of the target for an entry; a throw fails that entry only.
    auto guarded = [&](size_t index, bool begun, auto&& step) {
        try {
            step();
            return true;
        } catch (const Failure& f) {
            fail(index, f.message(), begun);
        } catch (const std::exception&) {
            fail(index, L"Błąd zapisu pliku „" + entries_[index].name + L"”.", begun);
        }
        return false;
    };
    auto finish = [&](size_t index) { guarded(index, true, [&] { target.Finish(index); }); };

    size_t next = 0;
    std::vector<size_t> pending;
    try {
        // Empty entries need no data.
        for (size_t index : indexes) {
            if (entries_[index].size != 0) {
                pending.push_back(index);
                continue;
            }
            bool begin = false;
            if (guarded(index, false, [&] { begin = target.Begin(index, entries_[index]); }) && begin) finish(index);
        }
        if (pending.empty() && !job.wholeFolder) return;

        uint64_t pos = 0;
        try {
            FolderDecoder decoder(*source_, folders_[job.folder], dataReserve_, &cache,
                                  layoutRead_ ? layout_[job.folder].end : 0);
            while (next < pending.size() || !active.empty() || job.wholeFolder) {
                ThrowIfStopped();
                const std::span<const uint8_t> block = decoder.Next();
                if (block.empty()) {
                    if (next == pending.size() && active.empty()) break;
                    ThrowDamaged(L"dane pliku wykraczają poza koniec folderu");
                }
                const uint64_t end = pos + block.size();
                while (next < pending.size() && entries_[pending[next]].folderOffset < end) {
                    const size_t index = pending[next++];
                    bool begin = false;
                    if (guarded(index, false, [&] { begin = target.Begin(index, entries_[index]); }) && begin)
                        active.push_back(index);
                }
                for (size_t i = 0; i < active.size();) {
                    const size_t index = active[i];
                    const CabEntry& entry = entries_[index];
                    const uint64_t from = std::max<uint64_t>(entry.folderOffset, pos);
                    const uint64_t to = std::min<uint64_t>(uint64_t{entry.folderOffset} + entry.size, end);
                    bool ok = guarded(index, true, [&] {
                        target.Write(index,
                                     block.subspan(static_cast<size_t>(from - pos), static_cast<size_t>(to - from)));
                    });
                    if (ok && to == uint64_t{entry.folderOffset} + entry.size) {
                        finish(index);
                        ok = false;
                    }
                    if (ok)
                        ++i;
                    else
                        active.erase(active.begin() + static_cast<std::ptrdiff_t>(i));
                }
                pos = end;
                if (onBlock) {
                    const size_t stored = decoder.LastBlockStoredSize(), size = block.size();
                    PostToCaller([&onBlock, stored, size] { onBlock(stored, size); });
                }
            }
        } catch (const Failure& f) {
            if (job.wholeFolder && active.empty() && next == pending.size())
                failures.push_back({CabEntryFailure::kNoEntry, f.message()});
            for (size_t index : active) fail(index, f.message(), true);
            active.clear();
            for (; next < pending.size(); ++next) fail(pending[next], f.message(), false);
        }
    } catch (...) {
        // Stopped, or out of memory: nothing begun may stay half-written.
        for (size_t index : active) target.Abort(index);
        throw;
    }
}
