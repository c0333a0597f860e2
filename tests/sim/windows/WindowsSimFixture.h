#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "backends/sim/SimDesktop.h"
#include "backends/sim/SimElements.h"
#include "backends/sim/SimPlatform.h"
#include "backends/sim/SimScheduler.h"
#include "platform/Platform.h"
#include "windows/WindowCloseResult.h"

namespace tessarapane {

inline void PrintTo(WindowCloseResult result, std::ostream* out) { *out << toString(result); }

// Accessibility that forwards to the simulated desktop, except where a test
// scripts an answer the desktop cannot give (an application that lists its
// windows in another order, an action failing with an unusual code).
class ScriptedAccessibility final : public Accessibility {
 public:
  explicit ScriptedAccessibility(std::shared_ptr<Accessibility> inner) : inner_(std::move(inner)) {}

  // Sees every answer to copyAttributeValue and may change it.
  std::function<void(const AXElement&, std::string_view, AXCopyResult&)> editCopy;
  // Replaces the result of a write when it gives a value (nothing is written).
  std::function<std::optional<AXError>(const AXElement&, std::string_view)> scriptWrite;
  // Replaces the result of an action when it gives a value.
  std::function<std::optional<AXError>(const AXElement&, std::string_view)> scriptAction;

  bool isProcessTrusted() override { return inner_->isProcessTrusted(); }
  bool isProcessTrustedWithPrompt() override { return inner_->isProcessTrustedWithPrompt(); }
  AXElement createApplication(ProcessID pid) override { return inner_->createApplication(pid); }
  AXCopyResult copyAttributeValue(const AXElement& element, std::string_view attribute) override {
    AXCopyResult result = inner_->copyAttributeValue(element, attribute);
    if (editCopy) editCopy(element, attribute, result);
    return result;
  }
  AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                            const AXAttributeValue& value) override {
    if (scriptWrite) {
      if (auto scripted = scriptWrite(element, attribute)) return *scripted;
    }
    return inner_->setAttributeValue(element, attribute, value);
  }
  AXSettableResult isAttributeSettable(const AXElement& element, std::string_view attribute) override {
    return inner_->isAttributeSettable(element, attribute);
  }
  AXError performAction(const AXElement& element, std::string_view action) override {
    if (scriptAction) {
      if (auto scripted = scriptAction(element, action)) return *scripted;
    }
    return inner_->performAction(element, action);
  }
  AXObserverCreateResult createObserver(ProcessID pid, AXObserverCallback callback) override {
    return inner_->createObserver(pid, std::move(callback));
  }
  AXError addNotification(AXObserver observer, const AXElement& element, std::string_view notification) override {
    return inner_->addNotification(observer, element, notification);
  }
  AXError removeNotification(AXObserver observer, const AXElement& element,
                             std::string_view notification) override {
    return inner_->removeNotification(observer, element, notification);
  }
  void destroyObserver(AXObserver observer) override { inner_->destroyObserver(observer); }

 private:
  std::shared_ptr<Accessibility> inner_;
};

// The window server of the simulated desktop, with a hook that edits the
// on-screen list (bounds that disagree with the accessibility frame).
class ScriptedWindowServer final : public WindowServer {
 public:
  explicit ScriptedWindowServer(std::shared_ptr<WindowServer> inner) : inner_(std::move(inner)) {}

  std::function<void(std::vector<WindowInfo>&)> editList;

  std::optional<std::vector<WindowInfo>> onScreenWindowList() override {
    auto list = inner_->onScreenWindowList();
    if (list && editList) editList(*list);
    return list;
  }
  ActiveDisplayList activeDisplayList(std::uint32_t maxDisplays) override {
    return inner_->activeDisplayList(maxDisplays);
  }
  Rect displayBounds(DisplayID display) override { return inner_->displayBounds(display); }

 private:
  std::shared_ptr<WindowServer> inner_;
};

// A simulated desktop with one 1440 x 900 display, on virtual time.
class WindowsSim : public ::testing::Test {
 protected:
  WindowsSim() {
    accessibility = std::make_shared<ScriptedAccessibility>(platform.accessibility);
    windowServer = std::make_shared<ScriptedWindowServer>(platform.windowServer);
    platform.accessibility = accessibility;
    platform.windowServer = windowServer;
  }

  ProcessID launch(const std::string& name, ActivationPolicy policy = ActivationPolicy::regular) {
    SimAppSpec desc;
    desc.activationPolicy = policy;
    desc.bundleIdentifier = "org.example." + name;
    desc.localizedName = name;
    return desktop->launchApplication(std::move(desc));
  }

  WindowID open(ProcessID pid, const std::string& title, Rect frame,
                const std::function<void(SimWindowSpec&)>& tweak = {}) {
    SimWindowSpec desc;
    desc.owner = pid;
    desc.title = title;
    desc.frame = frame;
    if (tweak) tweak(desc);
    return desktop->createWindow(std::move(desc));
  }

  AXElement elementOf(WindowID window) const {
    const auto* state = desktop->window(window);
    return SimElements::window(state ? state->owner() : 0, window);
  }

  // Sets a window's bounds as the window list reports them, leaving its
  // accessibility frame alone.
  void listBounds(WindowID window, Rect bounds) {
    (*listedBounds)[window] = bounds;
    windowServer->editList = [edits = listedBounds](std::vector<WindowInfo>& list) {
      for (WindowInfo& info : list) {
        const auto found = edits->find(info.number.value_or(0));
        if (found != edits->end()) info.bounds = found->second;
      }
    };
  }

  // The application lists its windows back to front.
  void reverseWindowLists() {
    accessibility->editCopy = [](const AXElement&, std::string_view attribute, AXCopyResult& result) {
      if (attribute != "AXWindows" || !result.value) return;
      if (auto* list = std::get_if<std::vector<AXElement>>(&*result.value)) std::reverse(list->begin(), list->end());
    };
  }

  double now() const { return scheduler->now(); }

  std::shared_ptr<SimScheduler> scheduler = std::make_shared<SimScheduler>();
  std::shared_ptr<SimDesktop> desktop = SimDesktop::create(scheduler);
  Platform platform = makeSimPlatform(desktop);
  std::shared_ptr<ScriptedAccessibility> accessibility;
  std::shared_ptr<ScriptedWindowServer> windowServer;
  std::shared_ptr<std::map<WindowID, Rect>> listedBounds = std::make_shared<std::map<WindowID, Rect>>();
};

}  // namespace tessarapane
