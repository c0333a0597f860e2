#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/KeyEvent.h"
#include "platform/Subscription.h"

class QKeyEvent;

namespace tessarapane::ui {

// Key-downs anywhere in this application, through an application-wide event
// filter installed while at least one monitor is registered. A key press
// from the window system first goes to the focused widget as a shortcut
// check, then to its window as the press itself; the monitors are asked once,
// at the first of these. A monitor that returns true consumes the key: no
// shortcut fires for it and no widget sees it. Keys no monitor takes go on
// as usual.
class QtLocalKeyMonitor final : public QObject {
 public:
  QtLocalKeyMonitor();
  ~QtLocalKeyMonitor() override;

  Subscription add(std::function<bool(const KeyEvent&)> monitor);
  std::size_t monitorCount() const { return monitors_.size(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // One press as both of its events describe it.
  struct Press {
    int key = 0;
    int modifiers = 0;
    bool isAutoRepeat = false;
    std::uint64_t timestamp = 0;
    friend bool operator==(const Press&, const Press&) = default;
  };
  struct Decision {
    Press press;
    const QEvent* shortcutCheck = nullptr;  // the event it was made for
    bool consumed = false;
  };

  static Press pressOf(const QKeyEvent& event);
  // Asks the monitors; true when one consumed the key. False for keys that
  // have no key-down (modifiers alone) and after this object went away.
  bool ask(const QKeyEvent& event);
  void remove(std::uint64_t id);

  std::map<std::uint64_t, std::shared_ptr<std::function<bool(const KeyEvent&)>>> monitors_;
  std::uint64_t nextID_ = 1;
  bool installed_ = false;
  std::optional<Decision> decision_;
  std::shared_ptr<bool> alive_;
};

}  // namespace tessarapane::ui
