#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"

namespace tessarapane {

// What the stories compare: a whole outcome written as lines of text.
using Lines = std::vector<std::string>;

namespace testing_support {

// What every simulated-desktop story starts from: one 1440 x 900 display on
// virtual time, the platform over it, and a way to start applications and
// open their windows (frames in accessibility space).
struct SimDesktopTest : ::testing::Test {
  ProcessID launch(const std::string& name, ActivationPolicy policy = ActivationPolicy::regular,
                   const std::function<void(SimAppSpec&)>& tweak = {}) {
    SimAppSpec desc;
    desc.activationPolicy = policy;
    desc.bundleIdentifier = "org.example." + name;
    desc.localizedName = name;
    if (tweak) tweak(desc);
    return desktop->launchApplication(std::move(desc));
  }
  WindowID open(ProcessID owner, const std::string& title, Rect frame,
                const std::function<void(SimWindowSpec&)>& tweak = {}) {
    SimWindowSpec desc;
    desc.owner = owner;
    desc.title = title;
    desc.frame = frame;
    if (tweak) tweak(desc);
    return desktop->createWindow(std::move(desc));
  }

  std::shared_ptr<SimScheduler> clock = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(clock);
  Platform platform = makeSimPlatform(desktop);
};

}  // namespace testing_support
}  // namespace tessarapane
