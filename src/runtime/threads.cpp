#include "runtime/threads.h"

#include <system_error>
#include <utility>

bool ThreadStart(std::thread& thread, std::function<void()> work)
{
    if (std::thread::hardware_concurrency() == 1) return false;
    try {
        thread = std::thread(std::move(work));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}
