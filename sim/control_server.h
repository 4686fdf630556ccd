#pragma once
#include <functional>
#include <string>
#include <string_view>

// The server end of the control socket: a line protocol, one reply line per request line, any
// number of clients at once. Runs on the calling thread until `stopFd` becomes readable (ovsimd
// passes its signal descriptor, so SIGTERM and SIGINT end the loop).
namespace ov::sim {

using ControlHandler = std::function<std::string(std::string_view line)>;

// Lines longer than this are refused and the client is dropped.
constexpr size_t kMaxControlLine = 1024;

void RunControlLoop(int listenFd, int stopFd, const ControlHandler& handler);

}  // namespace ov::sim
