#pragma once

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "hotkeys/HotKeySettingsContent.h"
#include "ui/windows/HotKeyBindingRowView.h"

class QLabel;
class QVBoxLayout;

namespace tessarapane::ui {

// The settings' content: one group per section (title, rows, note), then the
// red conflict line, inset by 20 points.
class HotKeySettingsView final : public QWidget {
 public:
  static constexpr int kInset = 20;
  static constexpr int kSectionSpacing = 16;
  static constexpr int kGroupSpacing = 12;
  static constexpr int kMinimumWidth = 420;

  explicit HotKeySettingsView(HotKeyBindingRowView::Handlers handlers, QWidget* parent = nullptr);

  // Rows are updated in place (a row's own button may be what caused the
  // update); the groups are built on first use.
  void setGroups(const std::vector<HotKeySettingsGroup>& groups);
  void setConflict(const std::optional<std::string>& message);

  const std::vector<HotKeyBindingRowView*>& rowViews() const { return rowViews_; }
  HotKeyBindingRowView* rowView(HotKeyAction action) const;
  const std::vector<QLabel*>& sectionTitles() const { return sectionTitles_; }
  const std::vector<QLabel*>& notes() const { return notes_; }
  QLabel* conflictLabel() const { return conflictLabel_; }

 private:
  void build(const std::vector<HotKeySettingsGroup>& groups);

  HotKeyBindingRowView::Handlers handlers_;
  QVBoxLayout* groupsLayout_ = nullptr;
  std::vector<HotKeySettingsGroup> groups_;
  std::vector<HotKeyBindingRowView*> rowViews_;
  std::vector<QLabel*> sectionTitles_;
  std::vector<QLabel*> notes_;
  std::vector<QWidget*> groupWidgets_;
  QLabel* conflictLabel_ = nullptr;
};

}  // namespace tessarapane::ui
