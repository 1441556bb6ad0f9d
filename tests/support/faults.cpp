#include "support/faults.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int Kinds = 6;
const char* const KindNames[Kinds] = {"create", "write", "flush", "close", "rename", "remove"};

struct Injector {
    bool set = false;
    int failKind = -1;
    long failAt = 0;
    long crashAt = 0;
    long long bytesLeft = -1;
    long counted[Kinds] = {};
    long total = 0;
    int injected = 0;
    long looks = 0;
    bool announce = false;
};

Injector injector;
bool environmentRead = false;

void Set(const Injector& armed)
{
    injector = armed;
    environmentRead = true;
}

void ReadEnvironment()
{
    environmentRead = true;
    const char* setting = std::getenv("KELPRA_FAULT");
    const char* colon = setting ? std::strchr(setting, ':') : nullptr;
    if (!colon) return;
    std::string kind(setting, colon);
    long n = std::strtol(colon + 1, nullptr, 10);
    injector.set = true;
    injector.announce = true;
    if (kind == "crash") injector.crashAt = n;
    for (int i = 0; i < Kinds; ++i) {
        if (kind != KindNames[i]) continue;
        injector.failKind = i;
        injector.failAt = n;
    }
}

// Counts the operation, and ends the program when it is the one to crash at.
int Count(FileOperation operation)
{
    if (!environmentRead) ReadEnvironment();
    const int kind = static_cast<int>(operation);
    injector.total += 1;
    injector.counted[kind] += 1;
    if (injector.crashAt > 0 && injector.total == injector.crashAt) std::_Exit(FaultCrashExitCode);
    return kind;
}

void Announce(int kind)
{
    injector.injected += 1;
    if (injector.announce)
        std::fprintf(stderr, "%s%s %ld failed\n", FaultAnnouncement, KindNames[kind], injector.counted[kind]);
}

bool IsTheOneToFail(int kind)
{
    return kind == injector.failKind && injector.counted[kind] == injector.failAt;
}

}  // namespace

FaultAnswer FileFaultBefore(FileOperation operation)
{
    const int kind = Count(operation);
    if (IsTheOneToFail(kind)) {
        Announce(kind);
        return FaultAnswer::Fail;
    }
    if (operation == FileOperation::Flush && injector.set) return FaultAnswer::TakeAsDone;
    return FaultAnswer::Proceed;
}

size_t FileFaultWriteAllows(size_t size)
{
    const int kind = Count(FileOperation::Write);
    if (IsTheOneToFail(kind)) {
        Announce(kind);
        return size / 2;
    }
    if (injector.bytesLeft < 0) return size;
    if (static_cast<unsigned long long>(injector.bytesLeft) >= size) {
        injector.bytesLeft -= static_cast<long long>(size);
        return size;
    }
    size_t allowed = static_cast<size_t>(injector.bytesLeft);
    injector.bytesLeft = 0;
    Announce(kind);
    return allowed;
}

void FileLookBefore()
{
    injector.looks += 1;
}

void FaultsOff()
{
    Set(Injector{});
}

void FaultsQuiet()
{
    Injector armed;
    armed.set = true;
    Set(armed);
}

void FaultFailAt(FileOperation operation, long n)
{
    Injector armed;
    armed.set = true;
    armed.failKind = static_cast<int>(operation);
    armed.failAt = n;
    Set(armed);
}

void FaultCrashAt(long n)
{
    Injector armed;
    armed.set = true;
    armed.crashAt = n;
    Set(armed);
}

void FaultFailWritesAfter(long long bytes)
{
    Injector armed;
    armed.set = bytes >= 0;
    armed.bytesLeft = bytes < 0 ? -1 : bytes;
    Set(armed);
}

int FaultsInjected()
{
    return injector.injected;
}

long FaultsCounted(FileOperation operation)
{
    return injector.counted[static_cast<int>(operation)];
}

long FaultsLooks()
{
    return injector.looks;
}
