// A session manager with just enough of the X session management protocol
// for a test to steer the program through a session: it listens on ICE,
// tells what its clients say and sends them what standard input asks for.
//   stdin:  checkpoint | logout | cancel | die
//   stdout: listening <network ids for SESSION_MANAGER> | registered |
//           property <name> <first value> | save-yourself-done <0|1> |
//           interact-request | save-yourself-request | phase2-request | closed
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<SmsConn> clients;
bool shuttingDown = false;

void say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

Bool allowAnyHost(char*) { return True; }

Status newClient(SmsConn, SmPointer, unsigned long* mask, SmsCallbacks* callbacks, char**) {
  *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
          SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask | SmsSaveYourselfDoneProcMask |
          SmsCloseConnectionProcMask | SmsSetPropertiesProcMask | SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
  *callbacks = SmsCallbacks{};
  callbacks->register_client.callback = [](SmsConn conn, SmPointer, char* previousID) -> Status {
    std::free(previousID);
    char* id = SmsGenerateClientID(conn);
    SmsRegisterClientReply(conn, id != nullptr ? id : const_cast<char*>("mini"));
    std::free(id);
    clients.push_back(conn);
    say("registered");
    return 1;
  };
  // Asking for what the story does not expect is told and left unanswered.
  callbacks->interact_request.callback = [](SmsConn, SmPointer, int) { say("interact-request"); };
  callbacks->interact_done.callback = [](SmsConn, SmPointer, Bool) { say("interact-done"); };
  callbacks->save_yourself_request.callback = [](SmsConn, SmPointer, int, Bool, int, Bool, Bool) { say("save-yourself-request"); };
  callbacks->save_yourself_phase2_request.callback = [](SmsConn, SmPointer) { say("phase2-request"); };
  callbacks->save_yourself_done.callback = [](SmsConn conn, SmPointer, Bool success) {
    say("save-yourself-done " + std::to_string(success));
    if (!shuttingDown) SmsSaveComplete(conn);
  };
  callbacks->close_connection.callback = [](SmsConn conn, SmPointer, int count, char** reasons) {
    SmFreeReasons(count, reasons);
    std::erase(clients, conn);
    SmsCleanUp(conn);
    say("closed");
  };
  callbacks->set_properties.callback = [](SmsConn, SmPointer, int count, SmProp** properties) {
    for (int i = 0; i < count; ++i) {
      const SmProp& property = *properties[i];
      std::string value;
      if (property.num_vals > 0) {
        const SmPropValue& first = property.vals[0];
        value = std::strcmp(property.type, SmCARD8) == 0
                    ? std::to_string(*static_cast<unsigned char*>(first.value))
                    : std::string(static_cast<char*>(first.value), static_cast<std::size_t>(first.length));
      }
      say(std::string("property ") + property.name + " " + value);
      SmFreeProperty(properties[i]);
    }
    std::free(properties);
  };
  callbacks->delete_properties.callback = [](SmsConn, SmPointer, int count, char** names) { SmFreeReasons(count, names); };
  callbacks->get_properties.callback = [](SmsConn conn, SmPointer) { SmsReturnProperties(conn, 0, nullptr); };
  return 1;
}

// A logout is a save with shutdown that ends in a cancel or a die; the
// program is allowed to ask for interaction, so the test sees whether it does.
void command(const std::string& word) {
  if (word == "checkpoint" || word == "logout") shuttingDown = word == "logout";
  for (SmsConn conn : clients) {
    if (word == "checkpoint" || word == "logout") SmsSaveYourself(conn, SmSaveBoth, shuttingDown, SmInteractStyleAny, False);
    if (word == "cancel") SmsShutdownCancelled(conn);
    if (word == "die") SmsDie(conn);
  }
}

}  // namespace

int main() {
  IceSetIOErrorHandler([](IceConn) {});  // the default one exits
  char error[256] = "";
  int count = 0;
  IceListenObj* listeners = nullptr;
  if (!SmsInitialize("mini", "1", newClient, nullptr, allowAnyHost, sizeof error, error) ||
      !IceListenForConnections(&count, &listeners, sizeof error, error)) {
    std::fprintf(stderr, "cannot listen: %s\n", error);
    return 1;
  }
  for (int i = 0; i < count; ++i) IceSetHostBasedAuthProc(listeners[i], allowAnyHost);
  char* ids = IceComposeNetworkIdList(count, listeners);
  say(std::string("listening ") + ids);
  std::free(ids);

  std::vector<IceConn> connections;
  std::string input;
  for (;;) {
    std::vector<pollfd> watched{{STDIN_FILENO, POLLIN, 0}};
    for (int i = 0; i < count; ++i) watched.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
    const std::vector<IceConn> open = connections;
    for (IceConn conn : open) watched.push_back({IceConnectionNumber(conn), POLLIN, 0});
    if (poll(watched.data(), watched.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return 1;
    }
    if (watched[0].revents != 0) {
      char buffer[256];
      const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
      if (got <= 0) return 0;
      input.append(buffer, static_cast<std::size_t>(got));
      for (std::size_t end; (end = input.find('\n')) != std::string::npos; input.erase(0, end + 1)) command(input.substr(0, end));
    }
    for (int i = 0; i < count; ++i) {
      IceAcceptStatus status;
      if (watched[1 + i].revents == 0) continue;
      if (IceConn conn = IceAcceptConnection(listeners[i], &status)) connections.push_back(conn);
    }
    for (std::size_t i = 0; i < open.size(); ++i) {
      if (watched[1 + count + i].revents == 0) continue;
      const IceProcessMessagesStatus status = IceProcessMessages(open[i], nullptr, nullptr);
      if (status == IceProcessMessagesIOError) IceCloseConnection(open[i]);
      if (status != IceProcessMessagesSuccess) std::erase(connections, open[i]);
    }
  }
}
