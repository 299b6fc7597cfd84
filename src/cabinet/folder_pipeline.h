#pragma once
// Compresses the folders of an archive on a pool of worker threads and hands
// their data blocks to the calling thread strictly in folder order.
//
// Workers take folders in order, but never more than `threads` folders are
// between being taken and being written, so memory stays bounded. The folder
// at the head of the line is written while it is being compressed: its blocks
// pass through a short queue and its worker waits when the queue is full, so
// a huge file streams through as it would on one thread. A folder further
// back keeps up to `folderMemory` bytes of encoded blocks in memory and
// appends the rest to its spill file, read back once the folder reaches the
// head. Spill files are removed whatever the outcome.
//
// A worker's failure is raised on the calling thread when its folder reaches
// the head (so the first failing folder in order is the one reported, as
// without threads); a failure of the sink stops the workers. Either way every
// thread has ended before RunFolderPipeline returns or throws.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

// Receives the folders' blocks on the calling thread.
class FolderSink {
public:
    virtual ~FolderSink() = default;
    virtual void BeginFolder(size_t folder) = 0;
    virtual void WriteBlock(std::span<const uint8_t> data, size_t uncompressed) = 0;
    virtual void EndFolder(size_t folder) = 0;
};

using BlockEmit = std::function<void(std::span<const uint8_t> data, size_t uncompressed)>;
// Runs on worker `worker` (0 .. threads-1): compresses folder `folder` and
// passes its blocks to emit in order.
using FolderJob = std::function<void(unsigned worker, size_t folder, const BlockEmit& emit)>;

struct FolderPipelineSettings {
    unsigned threads = 2;
    size_t folderMemory = 2 << 20;  // encoded bytes a waiting folder keeps in memory
    // One spill file per thread, created only when needed.
    std::vector<std::filesystem::path> spillFiles;
};

void RunFolderPipeline(size_t folderCount, const FolderPipelineSettings& settings, const FolderJob& job,
                       FolderSink& sink);
