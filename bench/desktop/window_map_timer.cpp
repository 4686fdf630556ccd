// window_map_timer TITLE TIMEOUT_MS PROGRAM [ARGS...]: starts PROGRAM and prints the time in
// milliseconds from just before the start to the moment the X server maps a top-level window
// whose title contains TITLE; then ends the program (SIGTERM) and waits for it. Exit 0 when the
// window appeared, 1 when it did not within TIMEOUT_MS, 2 on a usage or X error.
//
// The X connection listens for map events on the root window before the program starts, so the
// figure includes everything the program does before its window exists.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern char** environ;

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
  if (!reply) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

std::string Property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
  if (!reply) return {};
  std::string value(static_cast<const char*>(xcb_get_property_value(reply)),
                    static_cast<size_t>(xcb_get_property_value_length(reply)));
  std::free(reply);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s TITLE TIMEOUT_MS PROGRAM [ARGS...]\n", argv[0]);
    return 2;
  }
  const std::string title = argv[1];
  const int timeoutMs = std::atoi(argv[2]);
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "no X display\n");
    return 2;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  const xcb_atom_t netWmName = Atom(c, "_NET_WM_NAME");
  xcb_flush(c);

  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  // The program's own output would mix with the figure.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[3], &quiet, nullptr, argv + 3, environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) {
    std::fprintf(stderr, "cannot start %s\n", argv[3]);
    return 2;
  }
  int result = 1;
  const Clock::time_point end = start + std::chrono::milliseconds(timeoutMs);
  while (result == 1 && Clock::now() < end) {
    pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (::poll(&p, 1, static_cast<int>(std::max<int64_t>(left.count(), 0))) <= 0) continue;
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
        const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
        const Clock::time_point mapped = Clock::now();
        const std::string name = Property(c, map->window, netWmName) + "\n" +
                                 Property(c, map->window, XCB_ATOM_WM_NAME);
        if (!map->override_redirect && name.find(title) != std::string::npos) {
          std::printf("%.1f\n",
                      std::chrono::duration<double, std::milli>(mapped - start).count());
          result = 0;
        }
      }
      std::free(event);
    }
    if (xcb_connection_has_error(c)) break;
  }
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  xcb_disconnect(c);
  return result;
}
