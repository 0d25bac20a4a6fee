#pragma once

// The calls on files that differ between the systems, for the table files and the
// builds: a read-only mapping, the durable write, zeroed pages for large buffers.
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

enum class MapResult { ok, missing, unreadable };

// Maps the whole file at path read-only into base and size. An empty file is ok
// with base null and size 0 (nothing is mapped then).
MapResult mapReadOnly(const std::string& path, const void*& base, std::size_t& size);
void unmapReadOnly(const void* base, std::size_t size);

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
