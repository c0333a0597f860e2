#include "ui/windows/HotKeySettingsView.h"

#include <QLabel>
#include <QVBoxLayout>

#include <utility>

#include "ui/services/QtConversions.h"
#include "ui/style/SystemStyle.h"

namespace tessarapane::ui {

namespace {

bool sameShape(const std::vector<HotKeySettingsGroup>& a, const std::vector<HotKeySettingsGroup>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t index = 0; index < a.size(); ++index) {
    if (a[index].rows.size() != b[index].rows.size() || a[index].note.has_value() != b[index].note.has_value()) {
      return false;
    }
  }
  return true;
}

}  // namespace

HotKeySettingsView::HotKeySettingsView(HotKeyBindingRowView::Handlers handlers, QWidget* parent)
    : QWidget(parent), handlers_(std::move(handlers)) {
  setMinimumWidth(kMinimumWidth);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(kInset, kInset, kInset, kInset);
  outer->setSpacing(kSectionSpacing);
  groupsLayout_ = new QVBoxLayout;
  groupsLayout_->setContentsMargins(0, 0, 0, 0);
  groupsLayout_->setSpacing(kSectionSpacing);
  outer->addLayout(groupsLayout_);

  conflictLabel_ = new QLabel(this);
  conflictLabel_->setFont(SystemStyle::caption());
  conflictLabel_->setWordWrap(true);
  QPalette palette = conflictLabel_->palette();
  palette.setColor(QPalette::WindowText, SystemStyle::systemRed());
  conflictLabel_->setPalette(palette);
  conflictLabel_->hide();
  outer->addWidget(conflictLabel_);
  outer->addStretch(1);
}

HotKeyBindingRowView* HotKeySettingsView::rowView(HotKeyAction action) const {
  for (HotKeyBindingRowView* view : rowViews_) {
    if (view->row().action == action) return view;
  }
  return nullptr;
}

void HotKeySettingsView::setGroups(const std::vector<HotKeySettingsGroup>& groups) {
  if (groups_.empty() || !sameShape(groups, groups_)) {
    build(groups);
  } else {
    std::size_t rowIndex = 0;
    for (std::size_t index = 0; index < groups.size(); ++index) {
      sectionTitles_[index]->setText(toQString(groups[index].title));
      for (const HotKeyBindingRow& row : groups[index].rows) rowViews_[rowIndex++]->setRow(row);
    }
  }
  groups_ = groups;
}

void HotKeySettingsView::build(const std::vector<HotKeySettingsGroup>& groups) {
  for (QWidget* group : groupWidgets_) {
    group->hide();
    group->deleteLater();
  }
  groupWidgets_.clear();
  rowViews_.clear();
  sectionTitles_.clear();
  notes_.clear();
  for (const HotKeySettingsGroup& group : groups) {
    auto* groupWidget = new QWidget(this);
    auto* layout = new QVBoxLayout(groupWidget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kGroupSpacing);
    auto* title = new QLabel(toQString(group.title), groupWidget);
    title->setFont(SystemStyle::headline());
    layout->addWidget(title);
    sectionTitles_.push_back(title);
    for (const HotKeyBindingRow& row : group.rows) {
      auto* rowView = new HotKeyBindingRowView(row, handlers_, groupWidget);
      layout->addWidget(rowView);
      rowViews_.push_back(rowView);
    }
    if (group.note) {
      auto* note = new QLabel(toQString(*group.note), groupWidget);
      note->setFont(SystemStyle::caption());
      note->setWordWrap(true);
      QPalette palette = note->palette();
      palette.setColor(QPalette::WindowText, SystemStyle::secondaryText(*this));
      note->setPalette(palette);
      layout->addWidget(note);
      notes_.push_back(note);
    }
    groupsLayout_->addWidget(groupWidget);
    groupWidgets_.push_back(groupWidget);
  }
}

void HotKeySettingsView::setConflict(const std::optional<std::string>& message) {
  conflictLabel_->setText(message ? toQString(*message) : QString());
  conflictLabel_->setVisible(message.has_value());
}

}  // namespace tessarapane::ui
