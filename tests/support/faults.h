// The file-fault injector of the test builds (runtime/faults.h): the nth
// operation of a kind fails, or the program ends just before its nth
// operation of any kind, or writes fail after a number of bytes, as on a
// full disk. While it is set, flushes that are not made to fail are taken
// as done without waiting for the disk: a test's disk is never unplugged,
// and sweeps run a command hundreds of times. The global reset turns it off
// before every test.
#pragma once

#include "runtime/faults.h"

// The exit code of a program ended by FaultCrashAt.
constexpr int FaultCrashExitCode = 86;

// Every operation reaches the host.
void FaultsOff();
// Nothing fails; operations are counted.
void FaultsQuiet();
// The nth (counted from 1) operation of that kind fails; a failing write
// puts down half of its bytes first.
void FaultFailAt(FileOperation operation, long n);
// The program ends, as a killed one does, just before its nth operation.
void FaultCrashAt(long n);
// After this many more bytes, writes fail as on a full disk; a negative
// number turns the injector off.
void FaultFailWritesAfter(long long bytes);
// How many failures were injected since the injector was last set.
int FaultsInjected();
// How many operations of that kind were seen since then.
long FaultsCounted(FileOperation operation);
// How many questions about the disk the file services put to the host
// since then (FileLookBefore).
long FaultsLooks();

// A program of a test build reads KELPRA_FAULT once, at its first file
// operation: "write:N", "flush:N", "close:N", "rename:N", "remove:N",
// "create:N" fail the nth such operation, "crash:N" ends the program
// before its nth operation, "quiet:0" only counts. Each injected failure is
// announced on standard error as a line beginning with FaultAnnouncement.
constexpr const char* FaultAnnouncement = "kelpra-fault: ";
