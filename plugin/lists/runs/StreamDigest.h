// The one routine by which every run reads a file and hashes it, and the
// progress it reports on the way.
#pragma once

#include <vector>

#include "interfaces/Host7z.h"
#include "plugin/lists/runs/ItemHasher.h"

// The size of each read, and the least time between two progress reports
// (in ms of tick count): a report costs the host a redraw.
inline constexpr host::UInt32 kReadBufferSize = 0x100000;
inline constexpr DWORD kProgressInterval = 500;

// The bytes a run has read, told to the host now and then.
class RunProgress {
 public:
  // host: borrowed for the run.
  explicit RunProgress(host::IProgress* host) : FHost(host) {}
  // The interval counts from now.
  void Start() { FLastReport = GetTickCount(); }
  // Counts bytes read; tells the host the count when kProgressInterval has
  // passed since the last report. The host's result comes back.
  HRESULT Add(host::UInt64 bytes);
  // Tells the host the count now.
  HRESULT Report() { return FHost->SetCompleted(&FCompleted); }

 private:
  host::IProgress* const FHost;
  host::UInt64 FCompleted = 0;
  DWORD FLastReport = 0;
};

// A stream's digest as DigestStream computed it.
struct StreamDigest {
  // In the hasher's own order.
  std::vector<BYTE> Bytes;
  // The bytes read from the stream.
  host::UInt64 Size = 0;
  // S_OK when the hasher computed it; else why it could not (Bytes are
  // zeros then), for the run to report: such a digest is never shown.
  HRESULT Result = E_UNEXPECTED;
};

// Reads in to its end in reads of kReadBufferSize (buffer grows to that once
// per run), feeds each read to hasher (started anew here), writes it to copy
// when there is one, and counts it in progress; then finishes the digest.
// Any result but S_OK of a stream or the host ends the routine with it.
HRESULT DigestStream(host::ISequentialInStream* in, host::ISequentialOutStream* copy, ItemHasher& hasher,
                     std::vector<BYTE>& buffer, RunProgress& progress, StreamDigest& digest);
