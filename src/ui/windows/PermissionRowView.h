#pragma once

#include <QWidget>

#include <functional>

#include "permission/PermissionGuideContent.h"

class QLabel;
class QPushButton;

namespace tessarapane::ui {

class GlyphTile;

// One permission of the guide on a softly tinted rounded background: the
// symbol tile, the permission's name and what it allows, and at the end
// either a green check mark or the prominent "授权" button.
class PermissionRowView final : public QWidget {
 public:
  static constexpr int kInset = 12;
  static constexpr int kSpacing = 12;
  static constexpr double kCornerRadius = 10.0;

  PermissionRowView(std::function<void(AppPermission)> onAuthorize, QWidget* parent = nullptr);

  void setRow(const PermissionGuideRow& row);
  const PermissionGuideRow& row() const { return row_; }

  QLabel* nameLabel() const { return nameLabel_; }
  QLabel* detailLabel() const { return detailLabel_; }
  QLabel* statusLabel() const { return statusLabel_; }
  GlyphTile* checkMark() const { return checkMark_; }
  QPushButton* authorizeButton() const { return authorizeButton_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<void(AppPermission)> onAuthorize_;
  PermissionGuideRow row_;
  QLabel* nameLabel_ = nullptr;
  QLabel* detailLabel_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  GlyphTile* checkMark_ = nullptr;
  QPushButton* authorizeButton_ = nullptr;
};

}  // namespace tessarapane::ui
