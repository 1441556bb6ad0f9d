// Being told that something in a folder changed, instead of looking at
// every file in it again: how a later full-text search knows at once that
// the help folder is as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using HostWatch = intptr_t;
constexpr HostWatch NoHostWatch = -1;

// Watches the folders (Windows-form) for files and folders written, made,
// removed, renamed or given other rights in them. NoHostWatch when the host
// cannot be sure to hear of every change: no means to watch, a folder on a
// network share (changed from elsewhere unheard), or a link in a folder
// (its file may change elsewhere); the caller then looks for itself.
HostWatch HostWatchStart(const std::vector<std::string>& folders);
// true when anything may have changed since the watch started or was last
// asked, and always for NoHostWatch.
bool HostWatchChanged(HostWatch watch);
void HostWatchEnd(HostWatch watch);
