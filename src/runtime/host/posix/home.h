// The POSIX host's own: the user's home folder, shared by the drive map
// (the default Wine prefix) and the per-user folders.
#pragma once

#include <string>

// $HOME when it names an absolute folder, else the home the password
// database gives the user, else "/": a service or `env -i` has no HOME, and
// falling back to the program's own folder would write beside it. Host
// form, without a closing "/" (except "/" itself).
std::string HostHomeFolder();
