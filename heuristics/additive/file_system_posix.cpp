// The file calls of file_system.h and table_file.h on POSIX systems.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "heuristics/additive/file_system.h"
#include "heuristics/additive/table_file.h"

namespace fifteen {

const char pathSeparator = '/';

namespace {

bool makeDirectories(const std::string& path) {
    for (std::size_t slash = 1; slash <= path.size(); ++slash) {
        if (slash != path.size() && path[slash] != '/') continue;
        const std::string prefix = path.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

MapResult mapReadOnly(const std::string& path, const void*& base, std::size_t& size) {
    base = nullptr;
    size = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? MapResult::missing : MapResult::unreadable;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return MapResult::unreadable;
    }
    if (info.st_size == 0) {
        ::close(fd);
        return MapResult::ok;
    }
    const auto bytes = static_cast<std::size_t>(info.st_size);
    // Populated at once: the checksum reads every page anyway.
    void* mapped = ::mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    ::close(fd);
    if (mapped == MAP_FAILED) return MapResult::unreadable;
    base = mapped;
    size = bytes;
    return MapResult::ok;
}

void unmapReadOnly(const void* base, std::size_t size) {
    if (base != nullptr) ::munmap(const_cast<void*>(base), size);
}

DurableFile::~DurableFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    if (!temporary_.empty() && !committed_) ::unlink(temporary_.c_str());
}

bool DurableFile::create(const std::string& path, std::string& error) {
    path_ = path;
    temporary_ = path + ".tmp";
    ::unlink(temporary_.c_str());
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = temporary_ + ": " + std::strerror(errno);
        temporary_.clear();  // not ours to remove
        return false;
    }
    handle_ = fd;
    return true;
}

bool DurableFile::write(const void* data, std::size_t bytes, std::string& error,
                        const std::atomic<bool>* stop) {
    const auto* p = static_cast<const char*>(data);
    while (bytes > 0) {
        if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
            error = "stopped";
            return false;
        }
        const std::size_t block = std::min<std::size_t>(bytes, std::size_t{1} << 24);
        const ssize_t written = ::write(static_cast<int>(handle_), p, block);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error = temporary_ + ": " + std::strerror(written < 0 ? errno : ENOSPC);
            return false;
        }
        p += written;
        bytes -= static_cast<std::size_t>(written);
    }
    return true;
}

bool DurableFile::commit(std::string& error) {
    bool ok = ::fsync(static_cast<int>(handle_)) == 0;
    ok = ::close(static_cast<int>(handle_)) == 0 && ok;
    handle_ = -1;
    ok = ok && ::rename(temporary_.c_str(), path_.c_str()) == 0;
    if (!ok) {
        error = temporary_ + ": " + std::strerror(errno);
        return false;
    }
    committed_ = true;
    // The rename itself reaches the disk with the folder.
    const std::string folder = path_.substr(0, path_.find_last_of('/') + 1);
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void* allocateZeroedPages(std::size_t bytes) {
    void* pages =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return pages == MAP_FAILED ? nullptr : pages;
}

void releaseZeroedPages(void* pages, std::size_t bytes) {
    if (pages != nullptr) ::munmap(pages, bytes);
}

TableFileLock::TableFileLock(const std::string& lockPath, bool* wouldWait) {
    if (wouldWait != nullptr) *wouldWait = false;
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (wouldWait != nullptr) *wouldWait = errno == EWOULDBLOCK;
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd);
                return;
            }
        }
    }
    handle_ = fd;
}

TableFileLock::~TableFileLock() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing releases the lock
}

std::string tableCacheDirectory(std::string& error) {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    std::string base;
    if (cache != nullptr && cache[0] == '/') {
        base = cache;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') {
            error = "neither XDG_CACHE_HOME nor HOME is set";
            return {};
        }
        base = std::string(home) + "/.cache";
    }
    const std::string folder = base + "/fifteen";
    if (!makeDirectories(folder)) {
        error = folder + ": " + std::strerror(errno);
        return {};
    }
    return folder;
}

}  // namespace fifteen
