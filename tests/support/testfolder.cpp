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

// Wine takes its drive letters from the links in the prefix's dosdevices
// folder and ignores DefineDosDeviceA. There a letter is linked, once, to a
// fixed folder of its own, with the host's ln (Wine starts host programs).
// C: and Z: hold Wine itself and are never moved.
bool LinkWineDrive(char letter, const std::string& folder)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char lower = static_cast<char>(tolower(static_cast<unsigned char>(letter)));
    if (!unixName || lower == 'c' || lower == 'z') return false;
    std::wstring wide(folder.begin(), folder.end());
    char* unixFolder = unixName(wide.c_str());
    if (!unixFolder) return false;
    const char* prefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    std::string devices = prefix && *prefix ? std::string(prefix) : std::string(home ? home : "") + "/.wine";
    std::string command =
        "/bin/ln -sfn \"" + std::string(unixFolder) + "\" \"" + devices + "/dosdevices/" + lower + ":\"";
    HeapFree(GetProcessHeap(), 0, unixFolder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Sleep(1100);  // Wine looks at its drives again at most once a second
    return true;
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
    std::error_code ignored;
    fs::remove_all(root, ignored);
    root = std::string(temp) + "kelpra-drive-" + drive;
    fs::remove_all(root, ignored);
    fs::create_directories(root);
    if (DriveShows(drive, *this) || (LinkWineDrive(drive, root) && DriveShows(drive, *this))) return;
    drive = 0;
}
#else
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
    fs::remove_all(root, ignored);
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
