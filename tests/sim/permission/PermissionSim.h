#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "permission/PermissionGuideWindow.h"
#include "permission/PermissionHelperPanel.h"

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
      line += " " + row.name + "/" + row.detail + ":" + (row.granted ? "granted" : row.authorizeTitle);
    }
    log.push_back(line + " [" + content.closeButtonTitle + (content.closeButtonIsDefault ? " ↩]" : "]"));
  }
  std::vector<std::string> taken() { return std::exchange(log, {}); }

  bool visible = false;
  std::vector<std::string> log;
  std::function<void()> onClose;
};

// The drag-helper pill as a log of its changes: "text <hint>", "frame
// (x, y, w, h)", "front", "hide" (only when it was showing).
struct RecordingHelperPanel final : PermissionHelperPanel {
  std::string text() const override { return label; }
  void setText(const std::string& value) override {
    label = value;
    log.push_back("text " + value);
  }
  double fittingWidth() const override { return width; }
  Rect frame() const override { return current; }
  void setFrame(const Rect& value) override {
    current = value;
    std::ostringstream out;
    out << "frame " << value;
    log.push_back(out.str());
  }
  bool isVisible() const override { return visible; }
  void orderFrontRegardless() override {
    visible = true;
    log.push_back("front");
  }
  void hide() override {
    if (visible) log.push_back("hide");
    visible = false;
  }
  std::vector<std::string> taken() { return std::exchange(log, {}); }

  std::string label;
  double width = 300;
  Rect current;
  bool visible = false;
  std::vector<std::string> log;
};

}  // namespace tessarapane::testing_support
