// Windows-form paths onto the host: whatever the text, a path on the test
// drive stays inside the test folder, and an existing file's host path comes
// back through its Windows form.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/hostpath.h"
#include "support.h"

namespace {

// The folder a host path names once "." and ".." are taken as the system
// takes them.
std::string Resolved(const std::string& path)
{
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= path.size()) {
        size_t slash = std::min(path.find('/', at), path.size());
        std::string part = path.substr(at, slash - at);
        at = slash + 1;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    std::string out;
    for (const auto& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

bool Inside(const std::string& path, const std::string& root)
{
    const std::string resolved = Resolved(path);
    return resolved == root || resolved.compare(0, root.size() + 1, root + "/") == 0;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

int Setup()
{
    TestFolder& folder = FuzzFolder();
    folder.Write("a/b/file.txt", "x");
    folder.Write("Mixed Case.HTM", "x");
    folder.Write("dir.x/readme", "x");
    folder.Write("Includes/page.htm", "x");
    // Other letters stay unmapped, and relative paths start on the test drive.
    setenv("WINEPREFIX", (folder.root + "/no-such-prefix").c_str(), 1);
    FUZZ_CHECK(chdir((folder.root + "/a").c_str()) == 0, "cannot enter the test folder");
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int ready = Setup();
    (void)ready;
    const std::string& root = FuzzFolder().root;
    // NUL bytes stay in: a NUL after ".." once got out of the folder.
    std::string path = BytesOf(data, size);
    const std::string host = HostPathFromWindows(path);
    if (host.empty()) return 0;

    const bool hasDrive = path.size() >= 2 && path[1] == ':';
    const char drive = hasDrive ? static_cast<char>(path[0] & ~0x20) : 0;
    if (drive == 'T' || (!hasDrive && !IsSeparator(path[0])))
        FUZZ_CHECK(Inside(host, root), Shown(path) + " left the test folder: " + Shown(host));
    else if (drive == 'Z' || !hasDrive) FUZZ_CHECK(host[0] == '/', Shown(path) + " gave " + Shown(host));
    else FUZZ_CHECK(false, "the unmapped drive of " + Shown(path) + " gave " + Shown(host));

    struct stat info;
    if (lstat(host.c_str(), &info) != 0) return 0;
    const std::string windows = WindowsPathFromHost(host);
    FUZZ_CHECK(!windows.empty(), "no Windows form for " + Shown(host));
    FUZZ_CHECK(HostPathFromWindows(windows) == host, Shown(host) + " came back from " + Shown(windows) +
                                                         " as " + Shown(HostPathFromWindows(windows)));
    if (Inside(host, root))
        FUZZ_CHECK(windows.compare(0, 3, "T:\\") == 0, Shown(host) + " is " + Shown(windows));
    return 0;
}
