// Times programs from inside Wine, so that no shell or Wine start-up noise is counted: it starts each program
// itself, watches it with the performance counter, and prints one CSV line per run on standard output.
//
//   orvbench-timer window ROUNDS CLASS TITLE LABEL=PROGRAM ...
//       start to the window (CLASS, TITLE) being visible; then WM_CLOSE and wait for the exit
//   orvbench-timer runs ROUNDS ROOT CASE ...          CASE is "LABEL|USERMAC|SETUP|COMMAND"
//       per case and round: when USERMAC is not "-", a fresh tree (ROOT\OV gone, USERMAC copied over
//       ROOT\core\user.mac); when SETUP is not "-", SETUP run untimed; then COMMAND timed to its exit,
//       with its exit code and its peak working set
//   orvbench-timer memory ROUNDS ROOT CASE ...
//       the same runs, the child's peak working set sampled every millisecond while it runs (Wine keeps
//       no counters for a process that has ended; Windows does, and that figure is taken when given)
//   orvbench-timer writes ROUNDS FOLDER FILE ...
//       the files written into FOLDER the way the installer writes them (temporary beside the target,
//       moved over it), once flushed (FlushFileBuffers, MOVEFILE_WRITE_THROUGH) and once not
//
// Every mode runs a warm-up round (numbered -1, left out of the figures) and then ROUNDS rounds, each going
// through the programs or cases in the order given, so that they alternate.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "orvbench-timer: %s (error %lu)\n", what.c_str(), GetLastError());
    std::exit(2);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t stop = text.find(separator, start);
        parts.push_back(text.substr(start, stop == std::string::npos ? std::string::npos : stop - start));
        if (stop == std::string::npos) return parts;
        start = stop + 1;
    }
}

// A started program; its output goes nowhere, so that console writes cost what they cost on a real system.
struct Child {
    PROCESS_INFORMATION info = {};

    explicit Child(const std::string& commandLine) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
        std::string line = commandLine;
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
            Fail("cannot start " + commandLine);
        CloseHandle(nul);
        CloseHandle(info.hThread);
    }
    ~Child() { CloseHandle(info.hProcess); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Waits for the end; when sampling, looks at the peak working set every millisecond meanwhile.
    DWORD Wait(bool sample = false) {
        const double start = Now();
        for (;;) {
            const DWORD waited = WaitForSingleObject(info.hProcess, sample ? 1 : 120000);
            if (waited == WAIT_OBJECT_0) break;
            if (waited != WAIT_TIMEOUT || Now() - start > 120000) {
                TerminateProcess(info.hProcess, 99);
                Fail("a program did not end in time");
            }
            const std::size_t now = PeakWorkingSet();
            if (now > sampledPeak) sampledPeak = now;
        }
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    // What the system reports as the process's largest working set; 0 when it does not say.
    std::size_t PeakWorkingSet() const {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        return GetProcessMemoryInfo(info.hProcess, &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
    }

    std::size_t sampledPeak = 0;
};

// ---- window

double TimeToVisibleWindow(const std::string& program, const char* className, const char* title) {
    const double start = Now();
    Child child(program);
    for (;;) {
        HWND window = FindWindowA(className, title);
        if (window != nullptr && IsWindowVisible(window)) {
            const double elapsed = Now() - start;
            PostMessageA(window, WM_CLOSE, 0, 0);
            child.Wait();
            return elapsed;
        }
        if (WaitForSingleObject(child.info.hProcess, 0) == WAIT_OBJECT_0) Fail(program + " ended without a window");
        if (Now() - start > 20000) {
            TerminateProcess(child.info.hProcess, 99);
            Fail(program + " showed no window in 20 s");
        }
        Sleep(1);
    }
}

int WindowMode(int rounds, char** args, int count) {
    const char* className = args[0];
    const char* title = args[1];
    for (int round = -1; round < rounds; ++round) {
        for (int i = 2; i < count; ++i) {
            const std::vector<std::string> labelled = Split(args[i], '=');
            const double ms = TimeToVisibleWindow(labelled.at(1), className, title);
            std::printf("window,%s,%d,%.3f\n", labelled[0].c_str(), round, ms);
            std::fflush(stdout);
        }
    }
    return 0;
}

// ---- runs

void DeleteTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DeleteTree(path);
        else if (!DeleteFileA(path.c_str())) Fail("cannot delete " + path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    if (!RemoveDirectoryA(folder.c_str())) Fail("cannot remove " + folder);
}

struct Case {
    std::string label, userMac, setup, command;
};

int RunsMode(int rounds, char** args, int count, bool sample) {
    const std::string root = args[0];
    std::vector<Case> cases;
    for (int i = 1; i < count; ++i) {
        const std::vector<std::string> parts = Split(args[i], '|');
        if (parts.size() != 4) Fail(std::string("a case needs LABEL|USERMAC|SETUP|COMMAND: ") + args[i]);
        cases.push_back({parts[0], parts[1], parts[2], parts[3]});
    }
    for (int round = -1; round < rounds; ++round) {
        for (const Case& c : cases) {
            if (c.userMac != "-") {
                DeleteTree(root + "\\OV");
                const std::string target = root + "\\core\\user.mac";
                if (!CopyFileA(c.userMac.c_str(), target.c_str(), FALSE)) Fail("cannot copy " + c.userMac);
            }
            if (c.setup != "-") {
                Child setup(c.setup);
                if (const DWORD code = setup.Wait()) Fail(c.setup + " exited with " + std::to_string(code));
            }
            const double start = Now();
            Child child(c.command);
            const DWORD code = child.Wait(sample);
            const double ms = Now() - start;
            const std::size_t reported = child.PeakWorkingSet();
            std::printf("%s,%s,%d,%.3f,%lu,%lu\n", sample ? "memory" : "run", c.label.c_str(), round, ms, code,
                        static_cast<unsigned long>(reported > child.sampledPeak ? reported : child.sampledPeak));
            std::fflush(stdout);
        }
    }
    return 0;
}

// ---- writes

std::string ReadAll(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot open " + path);
    const DWORD size = GetFileSize(file, nullptr);
    std::string bytes(size, '\0');
    DWORD read = 0;
    if (size > 0 && (!ReadFile(file, &bytes[0], size, &read, nullptr) || read != size)) Fail("cannot read " + path);
    CloseHandle(file);
    return bytes;
}

void WriteReplacing(const std::string& path, const std::string& bytes, bool flushed) {
    const std::string temp = path + "~orv";
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Fail("cannot create " + temp);
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) Fail("write " + temp);
    if (flushed && !FlushFileBuffers(file)) Fail("flush " + temp);
    CloseHandle(file);
    const DWORD how = MOVEFILE_REPLACE_EXISTING | (flushed ? MOVEFILE_WRITE_THROUGH : 0);
    if (!MoveFileExA(temp.c_str(), path.c_str(), how)) Fail("cannot move " + temp);
}

int WritesMode(int rounds, char** args, int count) {
    const std::string folder = args[0];
    std::vector<std::pair<std::string, std::string>> files;  // target, bytes
    for (int i = 1; i < count; ++i) {
        std::string source = args[i];
        const std::size_t slash = source.find_last_of("\\/");
        files.emplace_back(folder + "\\" + source.substr(slash == std::string::npos ? 0 : slash + 1), ReadAll(source));
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int round = -1; round < rounds; ++round) {
        for (const bool flushed : {true, false}) {
            for (const auto& file : files) DeleteFileA(file.first.c_str());
            const double start = Now();
            for (const auto& file : files) WriteReplacing(file.first, file.second, flushed);
            const double ms = Now() - start;
            std::printf("writes,%s,%d,%.3f\n", flushed ? "flushed" : "unflushed", round, ms);
            std::fflush(stdout);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: orvbench-timer window|runs|memory|writes ROUNDS ...\n");
        return 2;
    }
    const std::string mode = argv[1];
    const int rounds = std::atoi(argv[2]);
    if (mode == "window" && argc >= 6) return WindowMode(rounds, argv + 3, argc - 3);
    if ((mode == "runs" || mode == "memory") && argc >= 5)
        return RunsMode(rounds, argv + 3, argc - 3, mode == "memory");
    if (mode == "writes" && argc >= 5) return WritesMode(rounds, argv + 3, argc - 3);
    std::fprintf(stderr, "orvbench-timer: unknown mode or too few arguments\n");
    return 2;
}
