#pragma once

#include <QIcon>
#include <QWidget>

#include <memory>
#include <vector>

#include "permission/PermissionGuideWindow.h"
#include "permission/PermissionGuideWindowController.h"

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace tessarapane::ui {

class PermissionRowView;

// The permission guide: the application's icon, "设置 Tessarapane" (also the
// window's title) and the state line; one row per permission; the close button at the bottom right
// ("开始使用" as the default button once everything is granted, else "稍后").
// 420 x 240 points, kept when closed. Its buttons and its closing go to the
// controller (held weakly; set after both exist).
class QtPermissionGuideWindow final : public QWidget, public PermissionGuideWindow {
 public:
  static constexpr int kWidth = 420;
  static constexpr int kHeight = 240;
  static constexpr int kIconSide = 44;

  explicit QtPermissionGuideWindow(QIcon applicationIcon);

  void setController(std::weak_ptr<PermissionGuideWindowController> controller);

  // PermissionGuideWindow
  bool isVisible() const override;
  void center() override;
  void makeKeyAndOrderFront() override;
  void close() override;
  void refresh(const PermissionGuideContent& content) override;

  QLabel* titleLabel() const { return titleLabel_; }
  QLabel* subtitleLabel() const { return subtitleLabel_; }
  const std::vector<PermissionRowView*>& rowViews() const { return rowViews_; }
  QPushButton* closeButton() const { return closeButton_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::weak_ptr<PermissionGuideWindowController> controller_;
  QLabel* titleLabel_ = nullptr;
  QLabel* subtitleLabel_ = nullptr;
  QVBoxLayout* rowsLayout_ = nullptr;
  std::vector<PermissionRowView*> rowViews_;
  QPushButton* closeButton_ = nullptr;
};

}  // namespace tessarapane::ui
