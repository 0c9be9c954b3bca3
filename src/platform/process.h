#pragma once
// The running program's place in the system and its threads.

#include <functional>
#include <string>

namespace dudivizo::platform {

// The folder of the running executable, with a trailing "/".
std::string RunDirectory();

// The folder of the per-account files (node lists, state, pz.ini):
// $XDG_CACHE_HOME/dudivizo/, else ~/.cache/dudivizo/, created when missing;
// with a trailing "/".
std::string DataDirectory();

// Starts `body` on a new thread and forgets it: no handle survives the call
// and nothing waits for the thread. False when no thread could be created.
bool StartThread(std::function<void()> body);

}  // namespace dudivizo::platform
