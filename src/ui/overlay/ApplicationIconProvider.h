#pragma once

#include <QImage>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ManagedWindow.h"
#include "platform/Workspace.h"

namespace tessarapane::ui {

// Where the panels get an application's icon, at whatever size the platform
// has it. A null image means the application or its icon is missing.
class ApplicationIconProvider {
 public:
  virtual ~ApplicationIconProvider() = default;
  virtual QImage applicationIcon(ProcessID pid) = 0;
};

// The platform's pixels as a Qt image; null for no pixels.
QImage imageFromPixels(const ApplicationIcon& icon);

// Asks the workspace for the running application's icon pixels (on X11 the
// window's _NET_WM_ICON); without pixels, an optional lookup of a themed icon
// name (a desktop entry's Icon=) is tried; with neither there is no icon.
class WorkspaceIconProvider final : public ApplicationIconProvider {
 public:
  using ThemeIconName = std::function<std::optional<std::string>(ProcessID)>;

  explicit WorkspaceIconProvider(std::shared_ptr<Workspace> workspace, ThemeIconName themeIconName = nullptr);
  QImage applicationIcon(ProcessID pid) override;

 private:
  std::shared_ptr<Workspace> workspace_;
  ThemeIconName themeIconName_;
};

}  // namespace tessarapane::ui
