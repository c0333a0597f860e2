#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "permission/PermissionGuideWindow.h"

namespace tessarapane::testing_support {

// The guide's window as a log: "center", "front", "close", and what each
// refresh drew: "<subtitle> <row name>:<granted|授权> [<close button>]".
struct RecordingGuideWindow final : PermissionGuideWindow {
  bool isVisible() const override { return visible; }
  void center() override { log.push_back("center"); }
  void makeKeyAndOrderFront() override {
    log.push_back("front");
    visible = true;
  }
  // Closing tells the controller, as the toolkit's window delegate does.
  void close() override {
    log.push_back("close");
    visible = false;
    if (onClose) onClose();
  }
  void refresh(const PermissionGuideContent& content) override {
    std::string line = content.title + ": " + content.subtitle;
    for (const PermissionGuideRow& row : content.rows) {
      line += " " + row.name + "/" + row.status + ":" + (row.granted ? "granted" : row.authorizeTitle);
    }
    log.push_back(line + " [" + content.closeButtonTitle + (content.closeButtonIsDefault ? " ↩]" : "]"));
  }
  std::vector<std::string> taken() { return std::exchange(log, {}); }

  bool visible = false;
  std::vector<std::string> log;
  std::function<void()> onClose;
};

}  // namespace tessarapane::testing_support
