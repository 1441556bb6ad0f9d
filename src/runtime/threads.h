// Work that splits in two runs one half on a thread of its own where the
// machine has a second core. Nothing else is shared with that thread: it is
// given its half and joined before the work's results are looked at.
#pragma once

#include <functional>
#include <thread>

// Starts `work` on `thread`; false, with nothing started, where the machine
// has one core (a second thread would only take turns with this one) or no
// thread is to be had: the caller then does the work itself.
bool ThreadStart(std::thread& thread, std::function<void()> work);
