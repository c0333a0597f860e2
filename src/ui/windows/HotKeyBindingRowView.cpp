#include "ui/windows/HotKeyBindingRowView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <utility>

#include "ui/services/QtConversions.h"
#include "ui/style/GlyphButton.h"
#include "ui/style/SystemStyle.h"

namespace tessarapane::ui {

namespace {
constexpr double kClearGlyphSize = 14.0;
}  // namespace

HotKeyBindingRowView::HotKeyBindingRowView(const HotKeyBindingRow& row, Handlers handlers, QWidget* parent)
    : QWidget(parent), handlers_(std::move(handlers)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, kVerticalPadding, 0, kVerticalPadding);
  layout->setSpacing(8);

  titleLabel_ = new QLabel(this);
  titleLabel_->setFont(SystemStyle::body());
  titleLabel_->setFixedWidth(kTitleWidth);
  titleLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  layout->addWidget(titleLabel_);

  chordLabel_ = new QLabel(this);
  chordLabel_->setFont(SystemStyle::monospacedBody());
  chordLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  chordLabel_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  layout->addWidget(chordLabel_, 1);

  clearButton_ = new GlyphButton(Glyph::xmarkCircleFill, kClearGlyphSize, SystemStyle::secondaryText(*this), this);
  layout->addWidget(clearButton_, 0, Qt::AlignVCenter);
  connect(clearButton_, &QAbstractButton::clicked, this, [this] {
    if (handlers_.clear) handlers_.clear(row_.action);
  });

  recordButton_ = new QPushButton(this);
  recordButton_->setFixedWidth(kRecordButtonWidth);
  recordButton_->setAutoDefault(false);
  connect(recordButton_, &QPushButton::clicked, this, [this] {
    if (row_.isRecording) {
      if (handlers_.cancel) handlers_.cancel();
    } else if (handlers_.record) {
      handlers_.record(row_.action);
    }
  });
  layout->addWidget(recordButton_, 0, Qt::AlignVCenter);

  setRow(row);
}

void HotKeyBindingRowView::setRow(const HotKeyBindingRow& row) {
  row_ = row;
  titleLabel_->setText(toQString(row.title));
  chordLabel_->setText(toQString(row.chordText));
  QPalette palette = chordLabel_->palette();
  QColor colour = SystemStyle::primaryText(*this);
  if (row.isRecording) colour = SystemStyle::accent(*this);
  else if (row.isHeldElsewhere) colour = SystemStyle::systemRed();
  palette.setColor(QPalette::WindowText, colour);
  chordLabel_->setPalette(palette);
  clearButton_->setVisible(row.showsClearButton);
  clearButton_->setToolTip(toQString(row.clearButtonHelp));
  clearButton_->setAccessibleName(toQString(row.clearButtonHelp));
  recordButton_->setText(toQString(row.recordButtonTitle));
}

}  // namespace tessarapane::ui
