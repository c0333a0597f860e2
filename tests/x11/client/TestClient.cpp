// A small X client the end-to-end tests start and steer: its behaviour is set
// by arguments, and it takes commands on standard input. It reports on
// standard output, one line each: "created <window>" once its window exists,
// "ready <window>" once it is mapped, "dialog <window>" once a dialog is
// mapped, "close-requested" when asked to close, and "ok <command>" after
// each command.
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Options {
  std::string title = "Test client", className = "TestClient", type = "normal", strutEdge;
  int x = 100, y = 100, width = 400, height = 300, strutSize = 0;
  bool position = false, fixedSize = false, ignoreClose = false, deleteWindow = true;
  long pid = -1;  // _NET_WM_PID: -1 for the client's own, 0 for none
  std::optional<double> opacity;
};

xcb_connection_t* c = nullptr;
xcb_screen_t* screen = nullptr;
Options options;

xcb_atom_t atom(const std::string& name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
  const xcb_atom_t value = reply ? reply->atom : XCB_NONE;
  std::free(reply);
  return value;
}

void say(const std::string& line) { std::cout << line << std::endl; }

void set(xcb_window_t window, const char* property, xcb_atom_t type, const std::vector<std::uint32_t>& values) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(property), type, 32,
                      static_cast<std::uint32_t>(values.size()), values.data());
}

void setText(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const std::string& text) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 8, static_cast<std::uint32_t>(text.size()),
                      text.data());
}

void setTitle(xcb_window_t window, const std::string& title) {
  setText(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), title);
  setText(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
}

void sendToRoot(xcb_window_t window, const char* type, std::vector<std::uint32_t> data) {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = atom(type);
  data.resize(5, 0);
  std::copy(data.begin(), data.end(), event.data.data32);
  xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
}

std::string cased(std::string text, int (*change)(int)) {
  for (char& ch : text) ch = static_cast<char>(change(static_cast<unsigned char>(ch)));
  return text;
}

xcb_window_t makeWindow(int x, int y, int width, int height, const std::string& title, const std::string& type,
                        xcb_window_t transientFor) {
  const xcb_window_t window = xcb_generate_id(c);
  const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                    static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  setTitle(window, title);
  setText(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, cased(options.className, std::tolower) + '\0' + options.className + '\0');
  if (options.pid) set(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, {static_cast<std::uint32_t>(options.pid < 0 ? getpid() : options.pid)});
  set(window, "WM_PROTOCOLS", XCB_ATOM_ATOM,
      options.deleteWindow ? std::vector<std::uint32_t>{atom("WM_DELETE_WINDOW")} : std::vector<std::uint32_t>{});
  if (type != "none") set(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM, {atom("_NET_WM_WINDOW_TYPE_" + cased(type, std::toupper))});
  // WM_NORMAL_HINTS: flags, x, y, w, h, min w/h, max w/h, increments, aspects, base, gravity.
  std::vector<std::uint32_t> hints(18, 0);
  hints[0] = 1U << 9;  // window gravity
  hints[17] = XCB_GRAVITY_NORTH_WEST;
  const auto u = [](int value) { return static_cast<std::uint32_t>(value); };
  if (transientFor != XCB_NONE) {
    set(window, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW, {transientFor});
    set(window, "_NET_WM_STATE", XCB_ATOM_ATOM, {atom("_NET_WM_STATE_MODAL")});
  } else if (options.position) {
    hints[0] |= 1U << 0 | 1U << 1;  // user position and size
    hints[1] = u(x), hints[2] = u(y), hints[3] = u(width), hints[4] = u(height);
  }
  if (transientFor == XCB_NONE && options.fixedSize) {
    hints[0] |= 1U << 4 | 1U << 5;  // minimum and maximum size
    hints[5] = hints[7] = u(width), hints[6] = hints[8] = u(height);
  }
  set(window, "WM_NORMAL_HINTS", XCB_ATOM_WM_SIZE_HINTS, hints);
  return window;
}

bool parse(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : "";
    if (arg == "--fixed-size") options.fixedSize = true;
    else if (arg == "--ignore-close") options.ignoreClose = true;
    else if (arg == "--no-delete-window") options.deleteWindow = false;
    else if (arg == "--no-pid") options.pid = 0;
    else if (++i >= argc) return false;  // every other option takes a value
    else if (arg == "--title") options.title = value;
    else if (arg == "--class") options.className = value;
    else if (arg == "--type") options.type = value;
    else if (arg == "--opacity") options.opacity = std::atof(value);
    else if (arg == "--pid") options.pid = std::atol(value);
    else if (arg == "--geometry") {
      options.position = true;
      if (std::sscanf(value, "%dx%d+%d+%d", &options.width, &options.height, &options.x, &options.y) != 4) return false;
    } else if (arg == "--strut") {
      const char* colon = std::strchr(value, ':');
      if (!colon) return false;
      options.strutEdge = std::string(value, colon);
      options.strutSize = std::atoi(colon + 1);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!parse(argc, argv)) {
    std::cerr << "usage: see the comment at the top of TestClient.cpp and tests/x11/README.md\n";
    return 2;
  }
  c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::cerr << "cannot connect to the X server\n";
    return 1;
  }
  screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const xcb_atom_t protocolsAtom = atom("WM_PROTOCOLS"), deleteAtom = atom("WM_DELETE_WINDOW");
  const xcb_window_t window = makeWindow(options.x, options.y, options.width, options.height, options.title, options.type, XCB_NONE);
  // A strut along the top or bottom edge, as wide as the window.
  const auto size = static_cast<std::uint32_t>(options.strutSize), x0 = static_cast<std::uint32_t>(options.x),
             x1 = static_cast<std::uint32_t>(options.x + options.width - 1);
  if (options.strutEdge == "top") set(window, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL, {0, 0, size, 0, 0, 0, 0, 0, x0, x1, 0, 0});
  if (options.strutEdge == "bottom") set(window, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL, {0, 0, 0, size, 0, 0, 0, 0, 0, 0, x0, x1});
  if (options.opacity) {
    set(window, "_NET_WM_WINDOW_OPACITY", XCB_ATOM_CARDINAL, {static_cast<std::uint32_t>(*options.opacity * 0xFFFFFFFFU)});
  }
  say("created " + std::to_string(window));
  xcb_map_window(c, window);
  xcb_flush(c);

  xcb_window_t dialog = XCB_NONE;
  bool ready = false, running = true;
  std::string pendingInput;
  while (running) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      const std::uint8_t type = event->response_type & 0x7F;
      const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
      const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
      if (type == XCB_MAP_NOTIFY && map->window == window && !ready) {
        ready = true;
        say("ready " + std::to_string(window));
      } else if (type == XCB_MAP_NOTIFY && map->window == dialog && dialog != XCB_NONE) {
        say("dialog " + std::to_string(dialog));
      } else if (type == XCB_CLIENT_MESSAGE && message->type == protocolsAtom && message->data.data32[0] == deleteAtom) {
        say("close-requested");
        if (message->window == dialog) {
          xcb_destroy_window(c, dialog);
          dialog = XCB_NONE;
        } else if (!options.ignoreClose) {
          running = false;
        }
      } else if (type == XCB_DESTROY_NOTIFY && reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window == window) {
        running = false;
      }
      std::free(event);
    }
    if (xcb_connection_has_error(c)) return 1;
    xcb_flush(c);
    if (!running) break;

    pollfd fds[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    poll(fds, 2, -1);
    if (!(fds[1].revents & (POLLIN | POLLHUP))) continue;
    char buffer[512];
    const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) break;  // the test went away: so does the client
    pendingInput.append(buffer, static_cast<std::size_t>(count));
    for (std::size_t newline; (newline = pendingInput.find('\n')) != std::string::npos;) {
      std::istringstream words(pendingInput.substr(0, newline));
      pendingInput.erase(0, newline + 1);
      std::string command, rest;
      words >> command;
      std::getline(words >> std::ws, rest);
      if (command == "title") {
        setTitle(window, rest);
      } else if (command == "fullscreen" || command == "unfullscreen") {
        sendToRoot(window, "_NET_WM_STATE", {command == "fullscreen" ? 1U : 0U, atom("_NET_WM_STATE_FULLSCREEN"), 0, 1});
      } else if (command == "minimize") {
        sendToRoot(window, "WM_CHANGE_STATE", {3});
      } else if (command == "dialog" && dialog == XCB_NONE) {
        dialog = makeWindow(options.x + 40, options.y + 40, 240, 120, options.title + " dialog", "dialog", window);
        xcb_map_window(c, dialog);
      } else if (command == "close-dialog" && dialog != XCB_NONE) {
        xcb_destroy_window(c, dialog);
        dialog = XCB_NONE;
      } else if (command == "move") {
        std::uint32_t position[2] = {0, 0};
        std::istringstream(rest) >> position[0] >> position[1];
        xcb_configure_window(c, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position);
      } else if (command == "quit") {
        running = false;
      }
      xcb_flush(c);
      // A round trip, so the command has reached the server before the test hears back.
      std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
      say("ok " + command);
    }
  }
  xcb_disconnect(c);
  return 0;
}
