// Where the file services let a test make an operation fail, or end the
// program there, to show what a full disk or a crash leaves behind. The
// programs link a unit in which nothing fails (runtime/nofaults.cpp); the
// test suites link an injector (tests/support/faults.cpp). The choice is
// made at link time, so the shipped programs carry no fault switch at all.
#pragma once

#include <cstddef>

// The operations that change what is on the disk.
enum class FileOperation { Create, Write, Flush, Close, Rename, Remove };

enum class FaultAnswer {
    Proceed,
    Fail,
    // Taken as done without asking the host: a flush that a test need not
    // wait for, as its disk is never unplugged.
    TakeAsDone,
};

// Asked just before each such operation other than a write reaches the
// host. An injector may also end the program here, as a crash would.
FaultAnswer FileFaultBefore(FileOperation operation);
// Asked just before each write: how many of its `size` bytes may be put
// down; fewer make it fail after them, as on a full disk.
size_t FileFaultWriteAllows(size_t size);
// Told of each question the file services put to the host about what is
// on the disk (a size, a listing), which changes nothing: the test builds
// count them, to show what a piece of work costs.
void FileLookBefore();
