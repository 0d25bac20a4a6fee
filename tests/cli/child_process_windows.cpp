// The child process of child_process.h on Windows: CreateProcess with pipes on its
// standard streams (held as C runtime descriptors, as the shared code expects),
// read by peeking, since Windows pipes cannot be polled.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>

#include "child_process.h"

namespace fifteen::cli::testing_support {
namespace {

// The process handles by process id: the header keeps only the id.
std::map<int, HANDLE> processes;

std::wstring wide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length);
    return result;
}

// One argument as the C runtime's parser reads it back: quoted, with the
// backslashes before a quote doubled.
std::wstring quoted(const std::wstring& argument) {
    std::wstring result = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        result.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        result += c;
    }
    result.append(backslashes * 2, L'\\');
    return result + L"\"";
}

void closeFd(int& fd) {
    if (fd >= 0) _close(fd);
    fd = -1;
}

// A pipe whose parent's end is not inherited.
void makePipe(HANDLE& read, HANDLE& write, bool parentReads) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    if (!CreatePipe(&read, &write, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
    SetHandleInformation(parentReads ? read : write, HANDLE_FLAG_INHERIT, 0);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, unsigned long addressSpaceLimit,
                           bool terminal)
    : terminal_(terminal) {
    if (terminal) throw std::runtime_error("no pseudo-terminal on Windows");
    HANDLE inRead = nullptr, inWrite = nullptr, outRead = nullptr, outWrite = nullptr;
    HANDLE errRead = nullptr, errWrite = nullptr;
    makePipe(inRead, inWrite, false);
    makePipe(outRead, outWrite, true);
    makePipe(errRead, errWrite, true);
    std::wstring commandLine;
    for (const std::string& a : argv)
        commandLine += (commandLine.empty() ? L"" : L" ") + quoted(wide(a));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION info{};
    // In this process's group: a new group would ignore Ctrl+C (and Wine then
    // Ctrl+Break too). sendSignal reaches the child alone anyway.
    const DWORD flags = addressSpaceLimit > 0 ? CREATE_SUSPENDED : 0;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr,
                        nullptr, &startup, &info)) {
        throw std::runtime_error("CreateProcess failed");
    }
    if (addressSpaceLimit > 0) {
        // The nearest to an address-space limit: a job limiting the memory the
        // process commits.
        const HANDLE job = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
        limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
        limit.ProcessMemoryLimit = addressSpaceLimit;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limit, sizeof limit);
        AssignProcessToJobObject(job, info.hProcess);
        ResumeThread(info.hThread);
    }
    CloseHandle(info.hThread);
    CloseHandle(inRead);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    pid_ = static_cast<int>(info.dwProcessId);
    processes[pid_] = info.hProcess;
    in_ = _open_osfhandle(reinterpret_cast<intptr_t>(inWrite), _O_WRONLY | _O_BINARY);
    out_ = _open_osfhandle(reinterpret_cast<intptr_t>(outRead), _O_RDONLY | _O_BINARY);
    err_ = _open_osfhandle(reinterpret_cast<intptr_t>(errRead), _O_RDONLY | _O_BINARY);
}

ChildProcess::~ChildProcess() {
    if (!finished_) {
        sendSignal(SIGKILL);
        finish();
    }
}

void ChildProcess::writeInput(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const int n = _write(in_, text.data() + done, static_cast<unsigned>(text.size() - done));
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

void ChildProcess::closeInput() {
    closeFd(in_);
}

// Reads what is available on either output, waiting at most timeoutMs (-1: no
// limit); false when both have ended or the time ran out with nothing read.
bool ChildProcess::pump(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (out_ < 0 && err_ < 0) return false;
        bool any = false;
        for (int* fd : {&out_, &err_}) {
            if (*fd < 0) continue;
            DWORD available = 0;
            const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(*fd));
            if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr)) {
                closeFd(*fd);  // the child closed its end
                any = true;
                continue;
            }
            if (available == 0) continue;
            char buffer[4096];
            const int n = _read(*fd, buffer, available < sizeof buffer ? available : sizeof buffer);
            if (n <= 0) {
                closeFd(*fd);
            } else {
                (fd == &out_ ? outBuffer_ : errBuffer_).append(buffer, static_cast<std::size_t>(n));
            }
            any = true;
        }
        if (any) return true;
        if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void setEnvironment(const std::string& name, const std::optional<std::string>& value) {
    _putenv_s(name.c_str(), value ? value->c_str() : "");  // an empty value removes it
}

void ChildProcess::sendSignal(int signal) {
    if (signal == SIGINT) {
        // What the console does on Ctrl+C, done in the child alone: a thread there
        // running kernelbase's CtrlRoutine (at the same address in every process),
        // which calls the child's handlers. Wine without a console delivers no
        // GenerateConsoleCtrlEvent.
        const auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine")));
        const HANDLE thread = CreateRemoteThread(
            processes[pid_], nullptr, 0, routine,
            reinterpret_cast<void*>(static_cast<ULONG_PTR>(CTRL_C_EVENT)), 0, nullptr);
        if (thread != nullptr) {
            WaitForSingleObject(thread, 10000);
            CloseHandle(thread);
        }
    } else {
        TerminateProcess(processes[pid_], 128 + static_cast<UINT>(signal));
    }
}

ProcessResult ChildProcess::finish() {
    closeInput();
    while (out_ >= 0 || err_ >= 0) pump(-1);
    const HANDLE process = processes[pid_];
    WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    processes.erase(pid_);
    finished_ = true;
    ProcessResult result;
    result.exitCode = static_cast<int>(code);
    result.out = std::move(outBuffer_);
    result.err = std::move(errBuffer_);
    return result;
}

}  // namespace fifteen::cli::testing_support
