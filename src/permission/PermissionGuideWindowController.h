#pragma once

#include <memory>
#include <string>

#include "permission/AppPermission.h"
#include "permission/PermissionGuideContent.h"
#include "permission/PermissionGuideModel.h"
#include "permission/PermissionGuideWindow.h"
#include "platform/Platform.h"

namespace tessarapane {

// The permission guide: shows what the desktop offers while polling it,
// checks again from the row's button, and brings itself forward when the
// requirement is met. Every callback holds the controller weakly. Main thread
// only.
class PermissionGuideWindowController : public std::enable_shared_from_this<PermissionGuideWindowController> {
 public:
  static std::shared_ptr<PermissionGuideWindowController> create(const Platform& platform,
                                                                 std::shared_ptr<PermissionGuideWindow> window);

  PermissionGuideWindowController(const PermissionGuideWindowController&) = delete;
  PermissionGuideWindowController& operator=(const PermissionGuideWindowController&) = delete;

  // Starts polling and brings the guide forward; centred only when it was
  // not already open.
  void show();
  // The guide's close buttons.
  void close();
  // The window is closing: polling stops.
  void windowWillClose();
  // A row's check-again button.
  void authorize(AppPermission permission);

  PermissionGuideContent content() const;
  const std::shared_ptr<PermissionGuideModel>& model() const { return model_; }

 private:
  PermissionGuideWindowController(const Platform& platform, std::shared_ptr<PermissionGuideWindow> window);
  void activateApplication();
  void permissionGranted();
  void refreshWindow();

  std::shared_ptr<Accessibility> accessibility_;
  std::shared_ptr<Log> log_;
  std::string loggedStatus_;
  std::shared_ptr<Workspace> workspace_;
  std::shared_ptr<PermissionGuideWindow> window_;
  std::shared_ptr<PermissionGuideModel> model_;
};

}  // namespace tessarapane
