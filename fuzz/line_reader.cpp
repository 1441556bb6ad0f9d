// Line reads over arbitrary bytes, against the line rules written out
// plainly, and the line-by-line copy every rewrite of a help file makes.
#include <cstdint>
#include <string>

#include "runtime/files.h"
#include "support.h"

namespace {

// Reads come from the disk in blocks of 64 KiB; a filler line in front of
// the input puts its first bytes at the end of one block and the rest in the
// next, where a CR LF pair can be split.
constexpr size_t kBlock = 64 * 1024;

void CheckReadLoop(const std::string& bytes, bool extraEndTests)
{
    const std::vector<std::string> expected = ExpectedLines(bytes);
    FUZZ_CHECK(FileOpenRead(1, "T:\\in.txt"), "the input file does not open");
    size_t count = 0;
    do {
        // Asking whether the file is at its end must not move the position.
        if (extraEndTests) FileAtEnd(1);
        std::string line = FileReadLine();
        FUZZ_CHECK(count < expected.size(), "more lines than the bytes hold");
        FUZZ_CHECK(line == expected[count], "line " + std::to_string(count + 1) + " is " + Shown(line) +
                                                ", expected " + Shown(expected[count]));
        ++count;
    } while (!FileAtEnd(1));
    FUZZ_CHECK(count == expected.size(), "the loop stopped after " + std::to_string(count) + " of " +
                                             std::to_string(expected.size()) + " lines");
    FUZZ_CHECK(FileAtEnd(1) == -1, "the end of the file did not last");
    FUZZ_CHECK(FileReadLine().empty(), "a read past the end gave text");
    FUZZ_CHECK(FileClose(1) == 1, "closing a file that was read reported a failure");
}

void CheckCopy(const std::string& bytes)
{
    FUZZ_CHECK(FileOpenRead(1, "T:\\in.txt"), "the input file does not open");
    FUZZ_CHECK(FileCreate(2, "T:\\out.txt"), "the copy cannot be created");
    do {
        FileSelect(1);
        std::string line = FileReadLine();
        FileSelect(2);
        FUZZ_CHECK(FileWriteLine(line) == static_cast<int>(line.size()) + 2, "a line write was cut short");
    } while (!FileAtEnd(1));
    FUZZ_CHECK(FileClose(2) == 1, "closing the copy reported a failure");
    FileClose(1);
    const std::string copy = FuzzFolder().Read("out.txt");
    FUZZ_CHECK(copy == JoinCrLf(ExpectedLines(bytes)), "the copy is " + Shown(copy));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        FuzzFolder().Write("in.txt", "");
        CheckReadLoop("", false);
        CheckCopy("");
        return 0;
    }
    const uint8_t mode = data[0];
    std::string bytes = BytesOf(data + 1, size - 1);
    if (mode & 0x80) bytes = std::string(kBlock - (mode & 0x7F) - 1, 'x') + "\n" + bytes;
    FuzzFolder().Write("in.txt", bytes);
    CheckReadLoop(bytes, (mode & 0x40) != 0);
    CheckCopy(bytes);
    return 0;
}
