#include "ui/services/QtLocalKeyMonitor.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <vector>

#include "ui/services/QtKeyMapping.h"

namespace tessarapane::ui {

QtLocalKeyMonitor::QtLocalKeyMonitor() : alive_(std::make_shared<bool>(true)) {}

QtLocalKeyMonitor::~QtLocalKeyMonitor() {
  if (installed_ && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

Subscription QtLocalKeyMonitor::add(std::function<bool(const KeyEvent&)> monitor) {
  const std::uint64_t id = nextID_++;
  monitors_.emplace(id, std::make_shared<std::function<bool(const KeyEvent&)>>(std::move(monitor)));
  if (!installed_ && QCoreApplication::instance()) {
    QCoreApplication::instance()->installEventFilter(this);
    installed_ = true;
  }
  return Subscription([this, id, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.lock()) remove(id);
  });
}

void QtLocalKeyMonitor::remove(std::uint64_t id) {
  monitors_.erase(id);
  if (monitors_.empty() && installed_) {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
    installed_ = false;
    decision_.reset();
  }
}

QtLocalKeyMonitor::Press QtLocalKeyMonitor::pressOf(const QKeyEvent& event) {
  return Press{event.key(), static_cast<int>(event.modifiers()), event.isAutoRepeat(), event.timestamp()};
}

bool QtLocalKeyMonitor::ask(const QKeyEvent& event) {
  QKeyEvent asPress(QEvent::KeyPress, event.key(), event.modifiers(), event.text(), event.isAutoRepeat());
  const std::optional<KeyEvent> down = QtKeyMapping::keyDown(asPress);
  if (!down) return false;
  // A monitor may add or remove monitors, or end this object's use.
  std::vector<std::shared_ptr<std::function<bool(const KeyEvent&)>>> current;
  for (const auto& [id, monitor] : monitors_) current.push_back(monitor);
  const std::weak_ptr<bool> alive = alive_;
  bool consumed = false;
  for (const auto& monitor : current) {
    if ((*monitor)(*down)) consumed = true;
    if (!alive.lock()) return consumed;
  }
  return consumed;
}

bool QtLocalKeyMonitor::eventFilter(QObject* watched, QEvent* event) {
  if (monitors_.empty()) return QObject::eventFilter(watched, event);
  if (event->type() == QEvent::ShortcutOverride) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    const Press press = pressOf(*key);
    // The check travels up from the focused widget; decide on its first step.
    const bool seen = decision_ && decision_->shortcutCheck == event && decision_->press == press;
    if (!seen) {
      const std::weak_ptr<bool> alive = alive_;
      const bool consumed = ask(*key);
      if (!alive.lock()) return false;
      decision_ = Decision{press, event, consumed};
    }
    // Accepting turns the key into a plain key press, which the window step
    // below then swallows.
    if (decision_->consumed) event->accept();
    return false;
  }
  if (event->type() != QEvent::KeyPress || !watched->isWindowType()) return QObject::eventFilter(watched, event);
  const auto* key = static_cast<const QKeyEvent*>(event);
  const Press press = pressOf(*key);
  if (decision_ && decision_->press == press) {
    const bool consumed = decision_->consumed;
    decision_.reset();
    return consumed;
  }
  decision_.reset();
  return ask(*key);
}

}  // namespace tessarapane::ui
