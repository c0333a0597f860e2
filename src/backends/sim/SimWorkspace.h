#pragma once

#include <memory>

#include "backends/sim/SimDesktop.h"
#include "platform/Workspace.h"

namespace tessarapane {

// Running applications, activation and the application notifications of the
// simulated desktop. Activation and front-process requests are recorded.
class SimWorkspace final : public Workspace {
 public:
  explicit SimWorkspace(std::shared_ptr<SimDesktop> desktop);

  std::vector<RunningApplication> runningApplications() override;
  std::optional<RunningApplication> runningApplication(ProcessID pid) override;
  std::optional<RunningApplication> frontmostApplication() override;
  ProcessID currentProcessID() override;
  bool activate(ProcessID pid) override;
  FrontProcessResult bringProcessToFront(ProcessID pid) override;
  void openAddress(std::string_view address, std::function<void(bool)> done) override;
  Subscription subscribe(std::function<void(const WorkspaceNotification&)> handler) override;

 private:
  bool opens(std::string_view address);
  void record(SimCall::Kind kind, ProcessID pid, std::string_view name);

  std::shared_ptr<SimDesktop> desktop_;
};

}  // namespace tessarapane
