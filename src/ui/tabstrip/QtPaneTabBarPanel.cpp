#include "ui/tabstrip/QtPaneTabBarPanel.h"

#include <QEasingCurve>
#include <QGraphicsOpacityEffect>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

#include <cmath>
#include <utility>

#include "ui/services/ScreenScale.h"
#include "ui/tabstrip/PaneTabBackdrop.h"
#include "ui/tabstrip/PaneTabItemView.h"
#include "ui/tabstrip/PaneTabOverflowButton.h"
#include "ui/tabstrip/PaneTabStripView.h"

namespace tessarapane::ui {

namespace {


// The platform's ease-out timing curve.
QEasingCurve easeOut() {
  QEasingCurve curve(QEasingCurve::BezierSpline);
  curve.addCubicBezierSegment(QPointF(0.0, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
  return curve;
}

void addGeometryAnimation(QParallelAnimationGroup& group, QWidget* widget, const QRect& target) {
  if (widget->geometry() == target) return;
  auto* animation = new QPropertyAnimation(widget, "geometry", &group);
  animation->setDuration(QtPaneTabBarPanel::kAnimationMilliseconds);
  animation->setEasingCurve(easeOut());
  animation->setStartValue(widget->geometry());
  animation->setEndValue(target);
  group.addAnimation(animation);
}

// A new tab view starts transparent and fades in with the others' moves.
void addFadeIn(QParallelAnimationGroup& group, QWidget* widget) {
  auto* effect = new QGraphicsOpacityEffect(widget);
  effect->setOpacity(0.0);
  widget->setGraphicsEffect(effect);
  auto* animation = new QPropertyAnimation(effect, "opacity", &group);
  animation->setDuration(QtPaneTabBarPanel::kAnimationMilliseconds);
  animation->setEasingCurve(easeOut());
  animation->setStartValue(0.0);
  animation->setEndValue(1.0);
  group.addAnimation(animation);
}

}  // namespace

QtPaneTabBarPanel::QtPaneTabBarPanel(const std::vector<PaneTabPresentation>& tabs,
                                 std::vector<PaneMoveDirection> moveDirections, const Rect& frame,
                                 PaneTabBarHandlers handlers, std::shared_ptr<ApplicationIcons> icons,
                                 ToolkitSpace space, std::shared_ptr<OverlayStage> stage)
    : OverlayPanel(std::move(space), QStringLiteral("Tessarapane tab strip"), std::move(stage)),
      moveDirections_(std::move(moveDirections)),
      handlers_(std::move(handlers)),
      icons_(std::move(icons)),
      availableFrame_(frame),
      tabs_(tabs),
      selectedIndex_(tabs.empty() ? -1 : 0) {
  tabStripView_ = new PaneTabStripView(this);
  setToolkitFrame(frame);
  applyLayout(false);
}

QtPaneTabBarPanel::~QtPaneTabBarPanel() {
  if (animation_) animation_->stop();
}

void QtPaneTabBarPanel::updateTabs(const std::vector<PaneTabPresentation>& tabs, int selectedIndex,
                                 const Rect& frame) {
  const int count = static_cast<int>(tabs.size());
  const int normalized = selectedIndex >= 0 && selectedIndex < count ? selectedIndex : -1;
  if (tabs == tabs_ && normalized == selectedIndex_ && frame == availableFrame_) return;
  const bool animated = frame.size == availableFrame_.size && isVisible();
  availableFrame_ = frame;
  tabs_ = tabs;
  selectedIndex_ = normalized;
  applyLayout(animated);
}

void QtPaneTabBarPanel::reuse(const std::vector<PaneTabPresentation>& tabs,
                              std::vector<PaneMoveDirection> moveDirections, const Rect& frame,
                              PaneTabBarHandlers handlers) {
  retire();
  moveDirections_ = std::move(moveDirections);
  handlers_ = std::move(handlers);
  availableFrame_ = frame;
  tabs_ = tabs;
  selectedIndex_ = tabs.empty() ? -1 : 0;
  setToolkitFrame(frame);
  applyLayout(false);
}

void QtPaneTabBarPanel::retire() {
  close();
  handlers_ = {};
  // The tab views carry the old pane's move directions: new ones are made.
  for (PaneTabItemView* view : tabItemViews_) {
    view->hide();
    view->deleteLater();
  }
  tabItemViews_.clear();
  if (overflowButton_) overflowButton_->hide();
  stripLayout_.reset();
  tabs_.clear();
  selectedIndex_ = -1;
}

void QtPaneTabBarPanel::orderFrontRegardless() { OverlayPanel::orderFrontRegardless(); }

void QtPaneTabBarPanel::orderOut() { OverlayPanel::orderOut(); }

void QtPaneTabBarPanel::close() {
  if (animation_) animation_->stop();
  hide();
}

QRegion QtPaneTabBarPanel::drawnRegion() const {
  QRegion drawn;
  const QPoint strip = tabStripView_->pos();
  for (const PaneTabItemView* view : tabItemViews_) {
    if (!view->isHidden()) {
      drawn += roundedRegion(QRectF(view->geometry().translated(strip)), PaneTabBackdrop::kCornerRadius);
    }
  }
  if (const PaneTabOverflowButton* overflow = overflowButton()) {
    drawn += roundedRegion(QRectF(overflow->geometry().translated(strip)), PaneTabBackdrop::kCornerRadius);
  }
  return drawn;
}

PaneTabOverflowButton* QtPaneTabBarPanel::overflowButton() const {
  return overflowButton_ && !overflowButton_->isHidden() ? overflowButton_ : nullptr;
}

QAbstractAnimation* QtPaneTabBarPanel::runningAnimation() const {
  return animation_ && animation_->state() == QAbstractAnimation::Running ? animation_.data() : nullptr;
}

PaneTabItemView* QtPaneTabBarPanel::makeItemView() {
  PaneTabItemView::Handlers handlers;
  handlers.selection = [this](int tabIndex) {
    if (handlers_.selection) handlers_.selection(tabIndex);
  };
  handlers.close = [this](int tabIndex) {
    if (handlers_.close) handlers_.close(tabIndex);
  };
  handlers.move = [this](int tabIndex, PaneMoveDirection direction) {
    if (handlers_.move) handlers_.move(tabIndex, direction);
  };
  auto* view = new PaneTabItemView(moveDirections_, std::move(handlers), icons_, tabStripView_);
  view->show();
  return view;
}

QRect QtPaneTabBarPanel::stripGeometry(const PaneTabBarLayout& layout) const {
  // The strip's frame is given with y up inside the panel.
  const Rect& strip = layout.stripFrame;
  return ScreenScale::toLocalDip(
      Rect(strip.x(), layout.panelFrame.height() - strip.maxY(), strip.width(), strip.height()), *this);
}

void QtPaneTabBarPanel::applyLayout(bool animated) {
  ++layoutPasses_;
  if (animation_) {
    // A layout arriving mid-animation starts from where things are now.
    animation_->stop();
    for (PaneTabItemView* view : tabItemViews_) view->setGraphicsEffect(nullptr);
  }
  const bool hadLayout = stripLayout_.has_value();
  // Tabs keep their size in points on a scaled screen.
  const Rect pixels = space().toPixels(availableFrame_);
  const PaneTabBarLayout layout =
      PaneTabBarLayout::make(availableFrame_, static_cast<int>(tabs_.size()), selectedIndex_,
                             static_cast<int>(moveDirections_.size()),
                             ScreenScale::ratioAt(QPointF(pixels.midX(), pixels.midY())));
  stripLayout_ = layout.stripLayout;
  animated = animated && hadLayout;

  const std::vector<int>& visible = layout.stripLayout.visibleIndices;
  while (tabItemViews_.size() > visible.size()) {
    PaneTabItemView* surplus = tabItemViews_.back();
    tabItemViews_.pop_back();
    surplus->hide();
    surplus->deleteLater();
  }
  std::vector<PaneTabItemView*> created;
  while (tabItemViews_.size() < visible.size()) {
    PaneTabItemView* view = makeItemView();
    view->setGeometry(ScreenScale::toLocalDip(layout.slotFrames[tabItemViews_.size()], *this));
    tabItemViews_.push_back(view);
    created.push_back(view);
  }

  for (std::size_t slot = 0; slot < visible.size(); ++slot) {
    const int tabIndex = visible[slot];
    PaneTabItemView* view = tabItemViews_[slot];
    view->setTabIndex(tabIndex);
    if (view->displayMode() != layout.stripLayout.mode) view->setDisplayMode(layout.stripLayout.mode);
    view->updateTab(tabs_[static_cast<std::size_t>(tabIndex)], tabIndex == selectedIndex_);
  }

  bool overflowWasShown = overflowButton() != nullptr;
  if (layout.stripLayout.hiddenIndices.empty()) {
    if (overflowButton_) overflowButton_->hide();
    overflowWasShown = false;
  } else {
    if (!overflowButton_) {
      QPointer<QtPaneTabBarPanel> panel(this);
      overflowButton_ = new PaneTabOverflowButton(
          [panel](int tabIndex) {
            if (panel && panel->handlers_.selection) panel->handlers_.selection(tabIndex);
          },
          icons_, tabStripView_);
    }
    std::vector<PaneTabOverflowButton::Entry> entries;
    for (int tabIndex : layout.stripLayout.hiddenIndices) {
      entries.emplace_back(tabIndex, tabs_[static_cast<std::size_t>(tabIndex)]);
    }
    overflowButton_->updateEntries(std::move(entries));
    if (!overflowWasShown) overflowButton_->setGeometry(ScreenScale::toLocalDip(*layout.overflowButtonFrame, *this));
    overflowButton_->show();
  }

  const QRect strip = stripGeometry(layout);
  if (!animated) {
    setToolkitFrame(layout.panelFrame);
    tabStripView_->setGeometry(strip);
    for (std::size_t slot = 0; slot < tabItemViews_.size(); ++slot) {
      tabItemViews_[slot]->setGeometry(ScreenScale::toLocalDip(layout.slotFrames[slot], *this));
      // A hidden panel gets no resize events until it is shown.
      tabItemViews_[slot]->layoutControls();
    }
    if (overflowWasShown) overflowButton_->setGeometry(ScreenScale::toLocalDip(*layout.overflowButtonFrame, *this));
    tabStripView_->update();
    updateShape();
    return;
  }

  // A panel that grows takes its frame at once; one that shrinks waits for
  // the animation, and only if no other layout came meanwhile.
  const Rect currentFrame = toolkitFrame();
  const bool grows = layout.panelFrame.width() >= currentFrame.width();
  if (grows) setToolkitFrame(layout.panelFrame);

  auto* group = new QParallelAnimationGroup(this);
  addGeometryAnimation(*group, tabStripView_, strip);
  for (std::size_t slot = 0; slot < tabItemViews_.size(); ++slot) {
    addGeometryAnimation(*group, tabItemViews_[slot], ScreenScale::toLocalDip(layout.slotFrames[slot], *this));
  }
  if (overflowWasShown) addGeometryAnimation(*group, overflowButton_, ScreenScale::toLocalDip(*layout.overflowButtonFrame, *this));
  for (PaneTabItemView* view : created) addFadeIn(*group, view);
  // The shape follows the tabs as they move.
  for (int index = 0; index < group->animationCount(); ++index) {
    if (auto* animation = qobject_cast<QVariantAnimation*>(group->animationAt(index))) {
      connect(animation, &QVariantAnimation::valueChanged, this, [this] { updateShape(); });
    }
  }

  const PaneTabStripLayout applied = layout.stripLayout;
  const Rect panelFrame = layout.panelFrame;
  connect(group, &QAbstractAnimation::finished, this, [this, applied, panelFrame, grows] {
    for (PaneTabItemView* view : tabItemViews_) view->setGraphicsEffect(nullptr);
    if (!grows && stripLayout_ == applied) setToolkitFrame(panelFrame);
    tabStripView_->update();
    updateShape();
  });
  animation_ = group;
  group->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace tessarapane::ui
