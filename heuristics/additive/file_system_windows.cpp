// The file calls of file_system.h and table_file.h on Windows: wide-character
// calls, UTF-8 paths at the edges.
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "heuristics/additive/file_system.h"
#include "heuristics/additive/table_file.h"

namespace fifteen {

const char pathSeparator = '\\';

namespace {

std::wstring wide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length);
    return result;
}

std::string utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length, nullptr, nullptr);
    return result;
}

// The system's message for code, without its closing period and line end.
std::string describeError(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text =
        length > 0 ? std::wstring(buffer, length) : L"error " + std::to_wstring(code);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L'.'))
        text.pop_back();
    return utf8(text);
}

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool makeDirectories(const std::wstring& path) {
    // From the first separator after the drive or the share on.
    for (std::size_t at = 3; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != L'\\' && path[at] != L'/') continue;
        const std::wstring prefix = path.substr(0, at);
        if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS &&
            GetLastError() != ERROR_ACCESS_DENIED) {
            return false;
        }
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

ReadResult readWholeFile(const std::string& path, void*& base, std::size_t& size) {
    base = nullptr;
    size = 0;
    // Others may read it, write it and rename over it meanwhile, as on POSIX
    // systems: the copy read here is this process's own.
    const HANDLE file = CreateFileW(
        wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return ReadResult::missing;
        // A folder is not opened without FILE_FLAG_BACKUP_SEMANTICS.
        const DWORD attributes = GetFileAttributesW(wide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                   ? ReadResult::notRegular
                   : ReadResult::unreadable;
    }
    LARGE_INTEGER bytes{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return ReadResult::notRegular;
    }
    if (!GetFileSizeEx(file, &bytes)) {
        CloseHandle(file);
        return ReadResult::unreadable;
    }
    const auto total = static_cast<std::size_t>(bytes.QuadPart);
    void* pages = total == 0 ? nullptr : allocateZeroedPages(total);
    if (total != 0 && pages == nullptr) {
        CloseHandle(file);
        return ReadResult::unreadable;
    }
    std::size_t done = 0;
    while (done < total) {
        const DWORD block =
            static_cast<DWORD>(std::min<std::size_t>(total - done, std::size_t{1} << 24));
        DWORD got = 0;
        if (!ReadFile(file, static_cast<char*>(pages) + done, block, &got, nullptr)) {
            CloseHandle(file);
            releaseZeroedPages(pages, total);
            return ReadResult::unreadable;
        }
        if (got == 0) break;  // shrunk meanwhile: the header check finds it short
        done += got;
    }
    CloseHandle(file);
    if (done == 0) {
        releaseZeroedPages(pages, total);
        return ReadResult::ok;
    }
    base = pages;
    size = done;  // the release frees the whole allocation whatever the size
    return ReadResult::ok;
}

DurableFile::~DurableFile() {
    if (handle_ != -1) CloseHandle(handleOf(handle_));
    if (!temporary_.empty() && !committed_) DeleteFileW(wide(temporary_).c_str());
}

bool DurableFile::create(const std::string& path, std::string& error) {
    path_ = path;
    temporary_ = path + ".tmp";
    DeleteFileW(wide(temporary_).c_str());
    const HANDLE file = CreateFileW(wide(temporary_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = path_ + ": " + describeError(GetLastError());
        temporary_.clear();  // not ours to remove
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
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
        const DWORD block = static_cast<DWORD>(std::min<std::size_t>(bytes, std::size_t{1} << 24));
        DWORD written = 0;
        if (!WriteFile(handleOf(handle_), p, block, &written, nullptr) || written == 0) {
            error = path_ + ": " + describeError(GetLastError());
            return false;
        }
        p += written;
        bytes -= written;
    }
    return true;
}

bool DurableFile::commit(std::string& error) {
    bool ok = FlushFileBuffers(handleOf(handle_)) != 0;
    DWORD code = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(handleOf(handle_));
    handle_ = -1;
    if (ok) {
        // A file another process has mapped cannot be replaced: that process may
        // be about to let it go (a reader that found it stale), so a few tries,
        // then the caller keeps its tables in memory.
        const std::wstring from = wide(temporary_);
        const std::wstring to = wide(path_);
        for (int attempt = 0; attempt < 20; ++attempt) {
            ok = MoveFileExW(from.c_str(), to.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
            code = ok ? ERROR_SUCCESS : GetLastError();
            if (ok || (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION &&
                       code != ERROR_USER_MAPPED_FILE)) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    if (!ok) {
        error = path_ + ": " + describeError(code);
        return false;
    }
    committed_ = true;
    return true;
}

void* allocateZeroedPages(std::size_t bytes) {
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releaseZeroedPages(void* pages, std::size_t) {
    if (pages != nullptr) VirtualFree(pages, 0, MEM_RELEASE);
}

TableFileLock::TableFileLock(const std::string& lockPath, bool* wouldWait, const LockWait& wait) {
    if (wouldWait != nullptr) *wouldWait = false;
    const HANDLE file = CreateFileW(wide(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return;
    }
    bool waiting = false;
    // Polled, not a blocking LockFileEx: a stop (Ctrl-C) is seen within a poll.
    for (;;) {
        OVERLAPPED whole{};
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                       MAXDWORD, &whole)) {
            break;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION && GetLastError() != ERROR_IO_PENDING) {
            CloseHandle(file);
            return;
        }
        if (!waiting) {
            waiting = true;
            if (wouldWait != nullptr) *wouldWait = true;
            if (wait.started) wait.started();
        }
        if (wait.stop != nullptr && wait.stop->load(std::memory_order_relaxed)) {
            CloseHandle(file);
            return;
        }
        std::this_thread::sleep_for(lockPollInterval);
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

TableFileLock::~TableFileLock() {
    // Closing releases the lock, as the end of the process does.
    if (handle_ != -1) CloseHandle(handleOf(handle_));
}

std::string tableCacheDirectory(std::string& error) {
    // The variable Windows sets for every session; its usual place under the
    // profile otherwise (no shell32 or ole32: the program imports the kernel and
    // the C runtime only).
    std::wstring base;
    if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local != nullptr && local[0] != L'\0') {
        base = local;
    } else if (const wchar_t* profile = _wgetenv(L"USERPROFILE");
               profile != nullptr && profile[0] != L'\0') {
        base = std::wstring(profile) + L"\\AppData\\Local";
    }
    if (base.empty()) {
        error = "neither LOCALAPPDATA nor USERPROFILE is set";
        return {};
    }
    while (!base.empty() && (base.back() == L'\\' || base.back() == L'/')) base.pop_back();
    const std::wstring folder = base + L"\\fifteen";
    if (!makeDirectories(folder)) {
        error = utf8(folder) + ": " + describeError(GetLastError());
        return {};
    }
    return utf8(folder);
}

}  // namespace fifteen
