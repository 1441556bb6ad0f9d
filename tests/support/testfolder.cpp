#include "testfolder.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "runtime/hostpath.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string HostRelative(const std::string& relative)
{
    std::string out = relative;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

}  // namespace

#ifdef _WIN32
namespace {

bool DriveShows(char letter, const TestFolder& folder)
{
    folder.Write("kelpra-drive-check", "");
    std::string check = std::string(1, letter) + ":\\kelpra-drive-check";
    bool shown = GetFileAttributesA(check.c_str()) != INVALID_FILE_ATTRIBUTES;
    fs::remove(folder.Host("kelpra-drive-check"));
    return shown;
}

using UnixNameProcedure = char*(CDECL*)(const wchar_t*);

// Wine's own entry point, nullptr on Windows.
UnixNameProcedure WineUnixName()
{
    return reinterpret_cast<UnixNameProcedure>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

// The host's name of a Windows path under Wine; "" elsewhere.
std::string UnixName(const std::string& path)
{
    UnixNameProcedure unixName = WineUnixName();
    if (!unixName) return "";
    std::wstring wide(path.begin(), path.end());
    char* name = unixName(wide.c_str());
    if (!name) return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a host program (Wine starts them); Wine cannot wait for one.
bool RunHostProgram(std::string command)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Wine takes its drive letters from the links in the prefix's dosdevices
// folder and ignores DefineDosDeviceA. There a letter is linked, once, to a
// fixed folder of its own, with the host's ln (Wine starts host programs).
// C: and Z: hold Wine itself and are never moved.
bool LinkWineDrive(char letter, const std::string& folder)
{
    char lower = static_cast<char>(tolower(static_cast<unsigned char>(letter)));
    const std::string unixFolder = UnixName(folder);
    if (unixFolder.empty() || lower == 'c' || lower == 'z') return false;
    const char* prefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    std::string devices = prefix && *prefix ? std::string(prefix) : std::string(home ? home : "") + "/.wine";
    if (!RunHostProgram("/bin/ln -sfn \"" + unixFolder + "\" \"" + devices + "/dosdevices/" + lower + ":\""))
        return false;
    Sleep(1100);  // Wine looks at its drives again at most once a second
    return true;
}

// Wine takes a link for the file it leads to, and deletes that file in its
// place: what is left of links inside the folder goes with the host's rm.
void RemoveAll(const std::string& root)
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
    const std::string host = UnixName(root);
    if (!fs::exists(root, ignored) || host.empty() || !RunHostProgram("/bin/rm -rf \"" + host + "\"")) return;
    for (int wait = 0; wait < 200 && fs::exists(root, ignored); ++wait) Sleep(25);
}

}  // namespace

// A fresh folder under the user's temporary folder, put under the drive
// letter as "subst" would; where the system refuses the letter, Win() gives
// the folder's own path (drive 0).
TestFolder::TestFolder(char driveLetter) : drive(driveLetter)
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) throw std::runtime_error("GetTempPathA failed");
    for (unsigned attempt = 0;; ++attempt) {
        std::string candidate = std::string(temp) + "kelpra-test-" + std::to_string(GetCurrentProcessId()) +
                                "-" + std::to_string(GetTickCount() + attempt);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            root = candidate;
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 1000)
            throw std::runtime_error("CreateDirectoryA failed");
    }
    HostPathMapDrive(drive, root);
    if (DriveShows(drive, *this)) return;
    HostPathMapDrive(drive, "");
    // Under Wine: the letter's own folder, emptied, linked on first use.
    RemoveAll(root);
    root = std::string(temp) + "kelpra-drive-" + drive;
    RemoveAll(root);
    fs::create_directories(root);
    if (DriveShows(drive, *this) || (LinkWineDrive(drive, root) && DriveShows(drive, *this))) return;
    drive = 0;
}
#else
namespace {

void RemoveAll(const std::string& root)
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

}  // namespace

TestFolder::TestFolder(char driveLetter) : drive(driveLetter)
{
    std::string pattern = (fs::temp_directory_path() / "kelpra-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root = pattern;
    HostPathMapDrive(drive, root);
}
#endif

TestFolder::~TestFolder()
{
    if (drive) HostPathMapDrive(drive, "");
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them removable again.
    for (auto it = fs::recursive_directory_iterator(root, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    RemoveAll(root);
}

std::string TestFolder::Win(const std::string& relative) const
{
    if (!drive) return root + "\\" + relative;
    return std::string(1, drive) + ":\\" + relative;
}

std::string TestFolder::Host(const std::string& relative) const
{
    return relative.empty() ? root : root + "/" + HostRelative(relative);
}

void TestFolder::Write(const std::string& relative, const std::string& bytes) const
{
    fs::path path = Host(relative);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TestFolder::Read(const std::string& relative) const
{
    std::ifstream in(Host(relative), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool TestFolder::Exists(const std::string& relative) const
{
    return fs::exists(Host(relative));
}

void TestFolder::MakeFolder(const std::string& relative) const
{
    fs::create_directories(Host(relative));
}

#ifdef _WIN32
// Under Wine a host link, which Wine follows as Windows follows a symbolic
// link; on Windows a symbolic link, where the user may make one.
bool TestFolder::Link(const std::string& relative, const std::string& target) const
{
    const std::string link = Host(relative);
    if (WineUnixName()) {
        const std::string from = UnixName(link);
        const std::string to = UnixName(Host(target));
        // Wine neither waits for a host program nor shows a link to nothing,
        // so a second file tells when the link is there.
        const std::string done = link + ".made";
        const std::string script = "ln -s '" + to + "' '" + from + "' && touch '" + from + ".made'";
        if (from.empty() || to.empty() || !RunHostProgram("/bin/sh -c \"" + script + "\"")) return false;
        for (int wait = 0; wait < 200 && GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++wait)
            Sleep(25);
        return DeleteFileA(done.c_str()) != 0;
    }
    const DWORD unprivileged = 2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    const DWORD folder = fs::is_directory(Host(target)) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    return CreateSymbolicLinkA(link.c_str(), Host(target).c_str(), folder | unprivileged) != 0;
}
#else
bool TestFolder::Link(const std::string& relative, const std::string& target) const
{
    std::error_code failed;
    fs::create_symlink(Host(target), Host(relative), failed);
    return !failed;
}
#endif
