// One UpdateItems run of a hash-list format: checks the items, then writes a
// line for every file item: hashed anew for new data, or the line of an
// entry kept from the list that was opened. A file whose digest can't be
// computed ends the run with the provider's error before its line, and a
// line that the run's code page can't hold exactly (a name outside the ANSI
// code page) ends it with kNoUnicodeTranslation. Onto an
// open list, the lines go in the list's order: every line that is no entry
// (comments, blank lines) stays where it was, an item of an entry takes that
// entry's place, and the lines of new files follow the last entry. Several
// files are hashed at once when the run has threads for them (HashWorkers);
// the lines come out the same.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/ComPtr.h"
#include "interfaces/Host7z.h"
#include "plugin/lists/runs/HashWorkers.h"
#include "plugin/lists/runs/ItemHasher.h"
#include "plugin/lists/runs/RunDescription.h"
#include "plugin/lists/runs/StreamDigest.h"
#include "plugin/lists/text/HashList.h"

class HashListUpdate {
 public:
  // run: what the handler describes of the run; it outlives the run.
  // list: the list the handler has open, or null.
  HashListUpdate(const RunDescription& run, const HashList* list, host::ISequentialOutStream* outStream,
                 host::IArchiveUpdateCallback* callback);
  // Any result other than S_OK from the host ends the run with that result.
  HRESULT Run(host::UInt32 numItems);

 private:
  struct ItemInfo {
    host::Int32 NewData = 0, NewProps = 0;
    host::UInt32 IndexInArchive = 0;
  };
  // An item's line on its way out: Ready once its file is hashed.
  struct PendingLine {
    host::UInt32 IndexInArchive = 0;
    std::string Bytes;
    WStr Path;
    bool Ready = false;
  };

  HRESULT GetItemInfo(host::UInt32 index, ItemInfo& info);
  HRESULT CheckUpdateItems(host::UInt32 numItems);
  HRESULT IsDirectory(host::UInt32 index, bool& isDir);
  HRESULT GetPath(host::UInt32 index, WStr& path);
  // The line of an entry kept from the list (path and digest as they were,
  // or a new path with the old digest).
  HRESULT KeptLine(host::UInt32 index, const ItemInfo& info, std::string& bytes);
  // Asks the host for a folder's stream, as for any new item; none is read.
  HRESULT OpenFolder(host::UInt32 index);
  // One item of the run, whatever it is.
  HRESULT UpdateItem(host::UInt32 index);
  // The line of a file hashed now; the provider's error when its digest
  // could not be computed.
  HRESULT NewLine(host::UInt32 index, std::string& bytes);
  // The line of a file whose digest is known; the provider's error when it
  // could not be computed.
  HRESULT LineFor(const WStr& path, const StreamDigest& digest, std::string& bytes) const;

  // A file opened here and hashed by the workers; its line waits in FPending.
  HRESULT HandOver(host::UInt32 index, const ItemInfo& info);
  // The lines of the files hashed so far, then every ready line in order.
  HRESULT Collect();
  // Waits for every file handed over; their lines, or the first failure.
  HRESULT FinishPending();
  // The host's answer to progress, as the workers pass it on: any but S_OK
  // ends the run at once.
  HRESULT Told(HRESULT progress);
  // A line in item order: out now, or behind the lines still pending.
  HRESULT Place(PendingLine line);
  // A line to the list: written (a new list) or put in its place.
  HRESULT Emit(host::UInt32 indexInArchive, std::string bytes);

  HRESULT Write(const std::string& bytes);
  // Onto an open list: the lines of the items, each after the list's lines
  // before the entry it belongs to; the new ones after the last entry.
  HRESULT WriteInListOrder(const std::multimap<std::size_t, std::string>& placed,
                           const std::vector<std::string>& added, const std::string& lineBreak);
  // A line of the open list that is no entry, in the run's code page; it
  // fails as ToCodePage does.
  HRESULT OtherLine(std::size_t j, std::string& bytes) const;
  // Whether the path converts to the run's code page, told once the host has
  // opened the file (and shown its name), before it is read: a list never
  // holds a name it can't give back.
  HRESULT NameFits(const WStr& path) const;
  // A new or renamed line as text. A line that a reader would not take back
  // as that entry (in an SFV, a name that begins with ";" reads as a
  // comment) is refused: the file would be left unchecked by every test.
  HRESULT NewLineText(const WStr& path, const BYTE* digest, std::size_t size, WStr& text) const;

  const RunDescription& FRun;
  const HashList* const FList;
  ComPtr<host::ISequentialOutStream> FOut;
  ComPtr<host::IArchiveUpdateCallback> FCallback;
  // Made at the first file that is hashed, then started anew for every file.
  std::unique_ptr<ItemHasher> FHasher;
  std::vector<BYTE> FBuffer;
  RunProgress FProgress;
  host::UInt64 FTotal = 0;
  // The items with data to hash.
  host::UInt32 FFiles = 0;
  std::string FLineBreak;
  // The run's workers while there are; null: one file after another.
  HashWorkers* FWorkers = nullptr;
  std::deque<PendingLine> FPending;
  // A file handed over failed: that ends the run.
  bool FFailed = false;
  // The host answered progress with other than S_OK (a cancel).
  bool FStopped = false;
  // Onto an open list, the lines wait for their places.
  std::multimap<std::size_t, std::string> FPlaced;
  std::vector<std::string> FAdded;
};
