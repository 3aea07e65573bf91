#include "plugin/lists/runs/HashWorkers.h"

#include <algorithm>
#include <system_error>

HRESULT StartHashWorkers(const HasherSource& source, const HashingLimits& limits, RunProgress& progress,
                         std::unique_ptr<HashWorkers>& workers) {
  workers.reset();
  if (!source.AnyThread()) return S_OK;
  std::vector<std::unique_ptr<ItemHasher>> hashers;
  for (unsigned k = 0; k <= limits.Threads; ++k) {
    hashers.push_back(source.Make());
    if (!hashers.back()) return E_FAIL;
  }
  workers = std::make_unique<HashWorkers>(limits, std::move(hashers), progress);
  if (workers->Start() != S_OK) workers.reset();
  return S_OK;
}

HashWorkers::HashWorkers(const HashingLimits& limits, std::vector<std::unique_ptr<ItemHasher>> hashers,
                         RunProgress& progress)
    : FLimits(limits), FProgress(progress), FWorkers(hashers.size() > 0 ? hashers.size() - 1 : 0) {
  if (!hashers.empty()) FInline = std::move(hashers.back());
  for (std::size_t i = 0; i < FWorkers.size(); ++i) FWorkers[i].Hasher = std::move(hashers[i]);
}

HashWorkers::~HashWorkers() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FStop = true;
  }
  FWork.notify_all();
  for (Worker& worker : FWorkers)
    if (worker.Thread.joinable()) worker.Thread.join();
  // The streams still held go now, on this thread.
  FFiles.clear();
}

HRESULT HashWorkers::Start() {
  if (!FInline || FWorkers.empty()) return E_INVALIDARG;
  try {
    for (Worker& worker : FWorkers) worker.Thread = std::thread([this, &worker] { WorkerLoop(worker); });
  } catch (const std::system_error&) {
    // The threads started so far are stopped and joined by the destructor.
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

bool HashWorkers::HasRoom() const {
  if (FFiles.size() >= FLimits.MaxFilesAhead) return false;
  std::lock_guard<std::mutex> guard(FLock);
  return std::any_of(FWorkers.begin(), FWorkers.end(), [](const Worker& w) { return w.Job == nullptr; });
}

std::size_t HashWorkers::QueueLimit() const {
  // A worker holds one more chunk while it hashes it.
  const std::size_t share = FLimits.MaxChunks / std::max<std::size_t>(FWorkers.size(), 1);
  return share > 1 ? share - 1 : 1;
}

HashWorkers::Chunk HashWorkers::TakeChunk(std::unique_lock<std::mutex>& lock) {
  for (;;) {
    if (!FFree.empty()) {
      Chunk chunk = std::move(FFree.back());
      FFree.pop_back();
      chunk.Size = 0;
      return chunk;
    }
    if (FChunksMade < std::max<std::size_t>(FLimits.MaxChunks, 1)) {
      ++FChunksMade;
      lock.unlock();
      Chunk chunk;
      chunk.Bytes.resize(FLimits.ChunkSize);
      lock.lock();
      return chunk;
    }
    FDone.wait(lock, [&] { return !FFree.empty(); });
  }
}

HRESULT HashWorkers::ReadInto(File& file, Chunk& chunk, bool& end) {
  host::UInt32 processed = 0;
  const auto room = static_cast<host::UInt32>(chunk.Bytes.size() - chunk.Size);
  const HRESULT hr = file.Stream->Read(chunk.Bytes.data() + chunk.Size, room, &processed);
  if (hr != S_OK) return hr;
  end = processed == 0;
  chunk.Size += processed;
  file.Size += processed;
  return S_OK;
}

void HashWorkers::EndFile(File& file, HRESULT readResult) {
  file.Stream.Reset();
  {
    std::lock_guard<std::mutex> guard(FLock);
    file.ReadResult = readResult;
    file.Ended = true;
  }
  FWork.notify_all();
}

HRESULT HashWorkers::Add(host::UInt32 tag, ComPtr<host::ISequentialInStream> stream) {
  auto owned = std::make_unique<File>();
  File& file = *owned;
  file.Tag = tag;
  file.Stream = std::move(stream);
  FFiles.push_back(std::move(owned));

  std::unique_lock<std::mutex> lock(FLock);
  Chunk chunk = TakeChunk(lock);
  lock.unlock();
  // Reads until the file ends or is too large to hash here. The host's
  // answer to progress comes back once the file is in its place.
  bool end = false;
  HRESULT read = S_OK, told = S_OK;
  while (!end && told == S_OK && chunk.Size <= FLimits.InlineLimit && chunk.Size < chunk.Bytes.size()) {
    const host::UInt64 before = file.Size;
    read = ReadInto(file, chunk, end);
    if (read != S_OK) break;
    told = FProgress.Add(file.Size - before);
  }
  if (read != S_OK || (end && chunk.Size <= FLimits.InlineLimit)) {
    file.Stream.Reset();
    file.Digest.Size = file.Size;
    if (read == S_OK) {
      FInline->Start();
      FInline->Add(chunk.Bytes.data(), static_cast<host::UInt32>(chunk.Size));
      file.Digest.Bytes.assign(FInline->DigestSize(), 0);
      file.Digest.Result = FInline->Finish(file.Digest.Bytes.data());
    }
    lock.lock();
    file.ReadResult = read;
    file.Ended = file.Finished = true;
    FFree.push_back(std::move(chunk));
    return told;
  }

  lock.lock();
  const auto idle =
      std::find_if(FWorkers.begin(), FWorkers.end(), [](const Worker& w) { return w.Job == nullptr; });
  if (idle == FWorkers.end()) return E_UNEXPECTED;  // only with HasRoom()
  idle->Job = &file;
  idle->Started = false;
  file.Queue.push_back(std::move(chunk));
  file.Ended = end;
  lock.unlock();
  if (end) file.Stream.Reset();
  FWork.notify_all();
  return told;
}

HRESULT HashWorkers::Step() {
  std::unique_lock<std::mutex> lock(FLock);
  for (const auto& owned : FFiles) {
    File& file = *owned;
    if (!file.Stream || file.Queue.size() >= QueueLimit()) continue;
    if (FFree.empty() && FChunksMade >= FLimits.MaxChunks) break;
    Chunk chunk = TakeChunk(lock);
    lock.unlock();
    bool end = false;
    const HRESULT read = ReadInto(file, chunk, end);
    if (read != S_OK || end) {
      lock.lock();
      FFree.push_back(std::move(chunk));
      lock.unlock();
      EndFile(file, read);
      return S_OK;
    }
    const std::size_t size = chunk.Size;
    lock.lock();
    file.Queue.push_back(std::move(chunk));
    lock.unlock();
    FWork.notify_all();
    return FProgress.Add(size);
  }
  // Nothing to read now: wait until a worker hashed a chunk or ended a file,
  // unless one did since the caller last took the finished files (it may
  // have finished the earliest file, or become free for another).
  FDone.wait(lock, [&] { return FEvents != FSeenEvents; });
  FSeenEvents = FEvents;
  return S_OK;
}

std::optional<HashedFile> HashWorkers::TakeFinished() {
  if (FFiles.empty()) return std::nullopt;
  File& file = *FFiles.front();
  {
    std::lock_guard<std::mutex> guard(FLock);
    FSeenEvents = FEvents;
    if (!file.Finished) return std::nullopt;
  }
  HashedFile done{file.Tag, file.ReadResult, std::move(file.Digest)};
  done.Digest.Size = file.Size;
  FFiles.pop_front();
  return done;
}

void HashWorkers::WorkerLoop(Worker& worker) {
  std::unique_lock<std::mutex> lock(FLock);
  for (;;) {
    FWork.wait(lock,
               [&] { return FStop || (worker.Job && (!worker.Job->Queue.empty() || worker.Job->Ended)); });
    if (FStop) return;
    File& file = *worker.Job;
    const bool start = !worker.Started;
    worker.Started = true;
    if (file.ReadResult == S_OK && !file.Queue.empty()) {
      Chunk chunk = std::move(file.Queue.front());
      file.Queue.pop_front();
      lock.unlock();
      if (start) worker.Hasher->Start();
      worker.Hasher->Add(chunk.Bytes.data(), static_cast<host::UInt32>(chunk.Size));
      lock.lock();
      FFree.push_back(std::move(chunk));
    } else {
      // Every chunk hashed and no more to come, or the read failed: done.
      for (Chunk& chunk : file.Queue) FFree.push_back(std::move(chunk));
      file.Queue.clear();
      if (file.ReadResult == S_OK) {
        lock.unlock();
        if (start) worker.Hasher->Start();
        StreamDigest digest;
        digest.Bytes.assign(worker.Hasher->DigestSize(), 0);
        digest.Result = worker.Hasher->Finish(digest.Bytes.data());
        lock.lock();
        file.Digest = std::move(digest);
      }
      file.Finished = true;
      worker.Job = nullptr;
    }
    ++FEvents;
    FDone.notify_all();
  }
}
