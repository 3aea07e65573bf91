// Several files hashed at once. The calling thread (the one that entered the
// run) does everything that touches the host: it opens the files, reads them
// and lets go of their streams; worker threads only hash the chunks it hands
// them, one file per worker at a time. A file that ends within a few reads is
// hashed on the calling thread itself: handing it over would cost more than
// hashing it.
//
// Why reads stay on the calling thread: the host's streams report read
// errors into the host's callbacks, and the host's objects count their
// references without atomics, so no other thread may touch them. Reading is
// far faster than any provider hashes, so one reader keeps the workers busy.
//
// Files come out in the order they were handed over, whatever order their
// workers finish in, so a run reports them as it would one after another.
// Memory stays bounded: at most MaxChunks chunks exist at once, and one file
// holds at most its share of them, so every worker has data to hash.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "base/ComPtr.h"
#include "interfaces/Host7z.h"
#include "plugin/lists/runs/ItemHasher.h"
#include "plugin/lists/runs/StreamDigest.h"

struct HashingLimits {
  // Worker threads.
  unsigned Threads = 2;
  // Bytes per read and per chunk.
  std::size_t ChunkSize = kReadBufferSize;
  // Chunks in memory at once, read and not yet hashed, all files together:
  // 64 of 1 MiB.
  std::size_t MaxChunks = 64;
  // A file that ends within this many bytes is hashed on the calling thread.
  std::size_t InlineLimit = 0x10000;
  // Files handed over and not yet taken back.
  std::size_t MaxFilesAhead = 1024;
};

// A file as it comes back.
struct HashedFile {
  // What the caller handed it over with (the run's item index).
  host::UInt32 Tag = 0;
  // S_OK, or what its stream's Read answered: the file has no digest then.
  HRESULT ReadResult = S_OK;
  StreamDigest Digest;
};

class HashWorkers;

// A run's workers, started: limits.Threads hashers of source and one for the
// calling thread. Null, with S_OK, where the files go one after another: the
// source's hashers are the host's (host objects stay on the host's thread),
// or the system gives no threads. E_FAIL when the source makes no hasher.
HRESULT StartHashWorkers(const HasherSource& source, const HashingLimits& limits, RunProgress& progress,
                         std::unique_ptr<HashWorkers>& workers);

class HashWorkers {
 public:
  // hashers: one per worker and one for the calling thread, all made on the
  // calling thread. progress: the run's, told of every byte read.
  HashWorkers(const HashingLimits& limits, std::vector<std::unique_ptr<ItemHasher>> hashers,
              RunProgress& progress);
  HashWorkers(const HashWorkers&) = delete;
  HashWorkers& operator=(const HashWorkers&) = delete;
  // Stops the workers (a file being hashed is dropped), joins them, and lets
  // go of the streams still held, on the calling thread.
  ~HashWorkers();

  // Starts the worker threads: S_OK, or E_OUTOFMEMORY when the system gives
  // none (none run then).
  HRESULT Start();

  // Whether another file may be handed over: a worker is idle, and not too
  // many files wait to be taken.
  bool HasRoom() const;
  // Hands over a file and reads its beginning now: a file that ends within
  // InlineLimit is hashed at once. A failing Read is the file's result; the
  // call itself answers S_OK, or the host's answer to progress (E_ABORT when
  // the user cancels), which ends the run. Only when HasRoom().
  HRESULT Add(host::UInt32 tag, ComPtr<host::ISequentialInStream> stream);
  // Reads one more chunk of the earliest file that has room for it, or, when
  // none has, waits until a worker has done something since the last
  // TakeFinished. S_OK, or the host's answer to progress.
  HRESULT Step();
  // The earliest file handed over, once it is done; files come out in the
  // order they were handed over.
  std::optional<HashedFile> TakeFinished();
  // No file handed over and not yet taken.
  bool Empty() const { return FFiles.empty(); }

  // The chunks allocated so far: the run's memory for file data.
  std::size_t ChunksMade() const { return FChunksMade; }

 private:
  struct Chunk {
    std::vector<BYTE> Bytes;
    std::size_t Size = 0;
  };
  struct File {
    host::UInt32 Tag = 0;
    // Calling thread only; null once read to its end or failed.
    ComPtr<host::ISequentialInStream> Stream;
    host::UInt64 Size = 0;
    // Guarded by FLock from here on.
    HRESULT ReadResult = S_OK;
    std::deque<Chunk> Queue;
    bool Ended = false;     // no more chunks will come
    bool Finished = false;  // digest done (or dropped after a failed read)
    StreamDigest Digest;
  };
  struct Worker {
    std::unique_ptr<ItemHasher> Hasher;
    File* Job = nullptr;  // guarded by FLock
    bool Started = false;
    std::thread Thread;
  };

  void WorkerLoop(Worker& worker);
  // A free chunk, waiting for one when all are in use; null only if the
  // limits allow none.
  Chunk TakeChunk(std::unique_lock<std::mutex>& lock);
  // Reads once from file's stream into chunk (after what it holds).
  HRESULT ReadInto(File& file, Chunk& chunk, bool& end);
  // Ends the file's data: its stream is let go, the worker finishes it.
  void EndFile(File& file, HRESULT readResult);
  std::size_t QueueLimit() const;

  const HashingLimits FLimits;
  RunProgress& FProgress;
  std::unique_ptr<ItemHasher> FInline;
  std::vector<Worker> FWorkers;
  std::deque<std::unique_ptr<File>> FFiles;

  mutable std::mutex FLock;
  std::condition_variable FWork;  // workers wait here for chunks
  std::condition_variable FDone;  // the calling thread waits here
  std::vector<Chunk> FFree;
  std::size_t FChunksMade = 0;
  std::size_t FEvents = 0;  // counts what the workers did
  // FEvents when the caller last took finished files: Step waits only for
  // what came after.
  std::size_t FSeenEvents = 0;
  bool FStop = false;
};
