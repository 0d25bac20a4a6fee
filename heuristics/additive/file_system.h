#pragma once

// The calls on files that differ between the systems, for the table files and the
// builds: a whole file read into memory of its own, the durable write, zeroed
// pages for large buffers.
// One implementation per system (file_system_posix.cpp, file_system_windows.cpp),
// chosen by the build; TableFileLock and tableCacheDirectory (table_file.h) are
// implemented there too. Paths are UTF-8.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace fifteen {

// Between a folder and a file name in the paths this program makes.
extern const char pathSeparator;

enum class ReadResult { ok, missing, notRegular, unreadable };

// Reads the whole file at path into zeroed pages of this process (released with
// releaseZeroedPages), base and size. Not a mapping: a file truncated or
// rewritten later, by anyone, leaves the copy alone, where a mapping's pages
// would fault or change under the search. Anything but a regular file (a FIFO,
// a folder, a device) is notRegular, found without blocking on it. A file that
// shrinks while read gives the bytes there were; an empty one is ok with base
// null and size 0.
ReadResult readWholeFile(const std::string& path, void*& base, std::size_t& size);

// A file written so that a reader sees either the old one or the whole new one:
// written to path + ".tmp", flushed to the disk and renamed over path. The caller
// holds the file's lock, so no other writer uses the temporary name.
class DurableFile {
  public:
    DurableFile() = default;
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;
    // Removes the temporary unless commit succeeded.
    ~DurableFile();

    // Creates the temporary (one left behind by a writer that died is removed
    // first: nobody trusts it). Each call below returns false with the reason in
    // error on failure; write also when stop is seen (between blocks).
    bool create(const std::string& path, std::string& error);
    bool write(const void* data, std::size_t bytes, std::string& error,
               const std::atomic<bool>* stop);
    bool commit(std::string& error);

  private:
    std::string path_;
    std::string temporary_;
    std::intptr_t handle_ = -1;
    bool committed_ = false;
};

// Pages of bytes zero, from the system: never touched where nothing is written
// (an allocator may clear them all first, as the sanitizers' does). Null when
// there is no room.
void* allocateZeroedPages(std::size_t bytes);
void releaseZeroedPages(void* pages, std::size_t bytes);

}  // namespace fifteen
