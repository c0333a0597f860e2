#pragma once

#include <memory>
#include <optional>
#include <string>

#include "permission/AppPermission.h"
#include "permission/PermissionDragHelper.h"
#include "permission/PermissionGuideContent.h"
#include "permission/PermissionGuideModel.h"
#include "permission/PermissionGuideWindow.h"
#include "permission/PermissionHelperPanel.h"
#include "platform/Platform.h"

namespace tessarapane {

// The permission guide: shows the permission's state while polling it, starts
// the drag helper from the authorise button, and when the permission arrives
// stops the helper and brings the guide forward. Every callback holds the
// controller weakly. Main thread only.
class PermissionGuideWindowController : public std::enable_shared_from_this<PermissionGuideWindowController> {
 public:
  struct Options {
    // This application's bundle identifier, for the drag helper.
    std::optional<std::string> ownBundleIdentifier;
    // Names the permission as the platform's settings of that version do.
    int osMajorVersion = 14;
  };

  static std::shared_ptr<PermissionGuideWindowController> create(const Platform& platform,
                                                                 std::shared_ptr<PermissionGuideWindow> window,
                                                                 std::shared_ptr<PermissionHelperPanel> helperPanel,
                                                                 Options options);

  PermissionGuideWindowController(const PermissionGuideWindowController&) = delete;
  PermissionGuideWindowController& operator=(const PermissionGuideWindowController&) = delete;

  // Starts polling and brings the guide forward; centred only when it was
  // not already open.
  void show();
  // The guide's close buttons.
  void close();
  // The window is closing: polling and the helper stop.
  void windowWillClose();
  // A row's authorise button.
  void authorize(AppPermission permission);

  PermissionGuideContent content() const;
  const std::shared_ptr<PermissionGuideModel>& model() const { return model_; }
  const std::shared_ptr<PermissionDragHelper>& dragHelper() const { return dragHelper_; }

 private:
  PermissionGuideWindowController(const Platform& platform, std::shared_ptr<PermissionGuideWindow> window,
                                  Options options);
  void activateApplication();
  void permissionGranted();
  void refreshWindow();

  std::shared_ptr<Workspace> workspace_;
  std::shared_ptr<PermissionGuideWindow> window_;
  Options options_;
  std::shared_ptr<PermissionGuideModel> model_;
  std::shared_ptr<PermissionDragHelper> dragHelper_;
};

}  // namespace tessarapane
