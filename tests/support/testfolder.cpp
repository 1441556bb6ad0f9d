#include "testfolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "runtime/hostpath.h"

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

TestFolder::TestFolder(char driveLetter) : drive(driveLetter)
{
    std::string pattern = (fs::temp_directory_path() / "kelpra-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    root = pattern;
    HostPathMapDrive(drive, root);
}

TestFolder::~TestFolder()
{
    HostPathMapDrive(drive, "");
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them removable again.
    for (auto it = fs::recursive_directory_iterator(root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root, ignored);
}

std::string TestFolder::Win(const std::string& relative) const
{
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

std::string CrLf(std::initializer_list<std::string> lines)
{
    std::string out;
    for (const auto& line : lines) out += line + "\r\n";
    return out;
}
