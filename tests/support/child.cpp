#include "support/child.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifdef _WIN32

intptr_t ChildStart(const std::string& test, const ChildEnvironment& environment)
{
    char self[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, self, MAX_PATH)) return -1;
    std::string command = "\"" + std::string(self) + "\" --gtest_filter=" + test;
    for (const auto& [name, value] : environment) SetEnvironmentVariableA(name.c_str(), value.c_str());
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    for (const auto& [name, value] : environment) SetEnvironmentVariableA(name.c_str(), nullptr);
    CloseHandle(nul);
    if (!started) return -1;
    CloseHandle(process.hThread);
    return reinterpret_cast<intptr_t>(process.hProcess);
}

int ChildWait(intptr_t child)
{
    if (child == -1) return -1;
    HANDLE process = reinterpret_cast<HANDLE>(child);
    DWORD code = 0;
    bool exited = WaitForSingleObject(process, 600000) == WAIT_OBJECT_0 && GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return exited ? static_cast<int>(code) : -1;
}

#else

intptr_t ChildStart(const std::string& test, const ChildEnvironment& environment)
{
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return -1;
    self[length] = '\0';
    const std::string filter = "--gtest_filter=" + test;
    pid_t child = fork();
    if (child != 0) return child < 0 ? -1 : child;
    for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
    int nul = open("/dev/null", O_WRONLY);
    dup2(nul, 1);
    dup2(nul, 2);
    execl(self, self, filter.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

int ChildWait(intptr_t child)
{
    int status = 0;
    if (child == -1 || waitpid(static_cast<pid_t>(child), &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

#endif

int ChildRun(const std::string& test, const ChildEnvironment& environment)
{
    // Wine on a busy machine now and then fails to start a process at all:
    // that is no result of the program under test, so it is tried again,
    // and told apart from a child that ended without an exit code.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const intptr_t child = ChildStart(test, environment);
        if (child != -1) return ChildWait(child);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return ChildNotStarted;
}

std::string ChildSetting(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value ? value : "";
}
