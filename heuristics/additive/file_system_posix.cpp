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
#include <thread>

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

ReadResult readWholeFile(const std::string& path, void*& base, std::size_t& size) {
    base = nullptr;
    size = 0;
    // O_NONBLOCK: the open of a FIFO would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? ReadResult::missing : ReadResult::unreadable;
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return known ? ReadResult::notRegular : ReadResult::unreadable;
    }
    const auto bytes = static_cast<std::size_t>(info.st_size);
    // Populated in one go: every page is written at once anyway, and faulting
    // them in one by one costs more than the copy.
    void* pages = nullptr;
    if (bytes != 0) {
        pages = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (pages == MAP_FAILED) pages = nullptr;
    }
    if (bytes != 0 && pages == nullptr) {
        ::close(fd);
        return ReadResult::unreadable;
    }
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t got = ::read(fd, static_cast<char*>(pages) + done,
                                   std::min<std::size_t>(bytes - done, std::size_t{1} << 24));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            releaseZeroedPages(pages, bytes);
            return ReadResult::unreadable;
        }
        if (got == 0) break;  // shrunk meanwhile: the header check finds it short
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (done == 0) {
        releaseZeroedPages(pages, bytes);
        return ReadResult::ok;
    }
    if (done < bytes) {
        // Released with the size of what was read: the pages past it go now.
        const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        const std::size_t kept = (done + page - 1) / page * page;
        if (kept < bytes) ::munmap(static_cast<char*>(pages) + kept, bytes - kept);
    }
    base = pages;
    size = done;
    return ReadResult::ok;
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
        error = path_ + ": " + std::strerror(errno);
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
            error = path_ + ": " + std::strerror(written < 0 ? errno : ENOSPC);
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
        error = path_ + ": " + std::strerror(errno);
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

TableFileLock::TableFileLock(const std::string& lockPath, bool* wouldWait, const LockWait& wait) {
    if (wouldWait != nullptr) *wouldWait = false;
    // O_NONBLOCK and a regular file only: a FIFO there would hold the open.
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) return;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return;
    }
    bool waiting = false;
    // Polled, not a blocking flock: a stop (Ctrl-C) is seen within a poll.
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) {
            ::close(fd);
            return;
        }
        if (!waiting) {
            waiting = true;
            if (wouldWait != nullptr) *wouldWait = true;
            if (wait.started) wait.started();
        }
        if (wait.stop != nullptr && wait.stop->load(std::memory_order_relaxed)) {
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(lockPollInterval);
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
