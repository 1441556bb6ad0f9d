#include "writeguard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>

extern "C" {
int __real_open(const char* path, int flags, ...);
int __real_open64(const char* path, int flags, ...);
int __real_creat(const char* path, mode_t mode);
int __real_mkdir(const char* path, mode_t mode);
int __real_rename(const char* from, const char* to);
int __real_renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags);
int __real_unlink(const char* path);
int __real_rmdir(const char* path);
int __real_mkstemp(char* pattern);
int __real_mkostemp(char* pattern, int flags);
int __real_truncate(const char* path, off_t length);
int __real_link(const char* from, const char* to);
}

namespace {

std::string allowed;
std::vector<std::string> violations;

// Absolute, inside the folder, and no ".." that could climb out of it.
void Check(const char* path)
{
    if (allowed.empty()) return;
    std::string name = path ? path : "";
    bool inside = name.compare(0, allowed.size() + 1, allowed + "/") == 0 &&
                  (name + "/").find("/../") == std::string::npos;
    if (!inside) violations.push_back(name);
}

bool Writes(int flags)
{
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
}

}  // namespace

void WriteGuardAllow(const std::string& hostFolder)
{
    allowed = hostFolder;
}

std::vector<std::string> WriteGuardTakeViolations()
{
    std::vector<std::string> taken;
    taken.swap(violations);
    return taken;
}

extern "C" {

int __wrap_open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
    va_end(arguments);
    if (Writes(flags)) Check(path);
    return __real_open(path, flags, mode);
}

int __wrap_open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = (flags & O_CREAT) ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
    va_end(arguments);
    if (Writes(flags)) Check(path);
    return __real_open64(path, flags, mode);
}

int __wrap_creat(const char* path, mode_t mode)
{
    Check(path);
    return __real_creat(path, mode);
}

int __wrap_mkdir(const char* path, mode_t mode)
{
    Check(path);
    return __real_mkdir(path, mode);
}

int __wrap_rename(const char* from, const char* to)
{
    Check(from);
    Check(to);
    return __real_rename(from, to);
}

int __wrap_renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags)
{
    Check(from);
    Check(to);
    return __real_renameat2(fromFolder, from, toFolder, to, flags);
}

int __wrap_unlink(const char* path)
{
    Check(path);
    return __real_unlink(path);
}

int __wrap_rmdir(const char* path)
{
    Check(path);
    return __real_rmdir(path);
}

int __wrap_mkstemp(char* pattern)
{
    Check(pattern);
    return __real_mkstemp(pattern);
}

int __wrap_mkostemp(char* pattern, int flags)
{
    Check(pattern);
    return __real_mkostemp(pattern, flags);
}

int __wrap_truncate(const char* path, off_t length)
{
    Check(path);
    return __real_truncate(path, length);
}

int __wrap_link(const char* from, const char* to)
{
    Check(to);
    return __real_link(from, to);
}

}  // extern "C"
