#pragma once

#include <QWidget>

#include <functional>

#include "hotkeys/HotKeyAction.h"
#include "hotkeys/HotKeySettingsContent.h"

class QLabel;
class QPushButton;

namespace tessarapane::ui {

class GlyphButton;

// One row of the hot-key settings: the action's title in 88 points, the chord
// (or the recording prompt, in the accent colour), the remove button when a
// chord is set and no recording runs, and "设置" / "取消" in 56 points.
class HotKeyBindingRowView final : public QWidget {
 public:
  static constexpr int kTitleWidth = 88;
  static constexpr int kRecordButtonWidth = 56;
  static constexpr int kVerticalPadding = 4;

  struct Handlers {
    std::function<void(HotKeyAction)> record;
    std::function<void()> cancel;
    std::function<void(HotKeyAction)> clear;
  };

  HotKeyBindingRowView(const HotKeyBindingRow& row, Handlers handlers, QWidget* parent = nullptr);

  void setRow(const HotKeyBindingRow& row);
  const HotKeyBindingRow& row() const { return row_; }

  QLabel* titleLabel() const { return titleLabel_; }
  QLabel* chordLabel() const { return chordLabel_; }
  GlyphButton* clearButton() const { return clearButton_; }
  QPushButton* recordButton() const { return recordButton_; }

 private:
  HotKeyBindingRow row_;
  Handlers handlers_;
  QLabel* titleLabel_ = nullptr;
  QLabel* chordLabel_ = nullptr;
  GlyphButton* clearButton_ = nullptr;
  QPushButton* recordButton_ = nullptr;
};

}  // namespace tessarapane::ui
