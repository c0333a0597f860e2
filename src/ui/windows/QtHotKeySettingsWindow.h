#pragma once

#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hotkeys/HotKeySettingsWindow.h"
#include "hotkeys/HotKeySettingsWindowController.h"

namespace tessarapane::ui {

class HotKeySettingsView;

// The hot-key settings panel: titled and closable, 460 x 360 points, above
// ordinary windows, hidden until shown. Its rows' buttons, its view going
// away and its closing go to the controller (held weakly; set after both
// exist, since the controller is made with the window).
class QtHotKeySettingsWindow final : public QWidget, public HotKeySettingsWindow {
 public:
  static constexpr int kWidth = 460;
  static constexpr int kHeight = 360;

  QtHotKeySettingsWindow();

  void setController(std::weak_ptr<HotKeySettingsWindowController> controller);

  // HotKeySettingsWindow
  void show() override;
  void close() override;
  bool isVisible() const override;
  void refreshRows(const std::vector<HotKeySettingsGroup>& groups) override;
  void showConflict(const std::optional<std::string>& message) override;

  HotKeySettingsView* view() const { return view_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  std::weak_ptr<HotKeySettingsWindowController> controller_;
  HotKeySettingsView* view_ = nullptr;
};

}  // namespace tessarapane::ui
