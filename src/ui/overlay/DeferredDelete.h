#pragma once

#include <QObject>

#include <memory>
#include <utility>

namespace tessarapane::ui {

// A shared handle on a Qt object that the core holds. The last release may
// come from inside one of the object's own signals (a tab's close button
// ending its pane), so the object is deleted on a later turn of the event
// loop rather than at once.
template <typename T, typename... Args>
std::shared_ptr<T> makeDeferredShared(Args&&... args) {
  return std::shared_ptr<T>(new T(std::forward<Args>(args)...), [](T* object) {
    if constexpr (requires { object->hide(); }) object->hide();
    object->deleteLater();
  });
}

}  // namespace tessarapane::ui
