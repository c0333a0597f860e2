#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "sim/coordinator/CoordinatorSimFixture.h"

namespace tessarapane {
namespace {

// A platform that names each element's window, read while the previous
// layout's moves are still being carried out: every frame read after the
// window list has already grown to its new size.
class MovingAccessibility final : public Accessibility {
 public:
  explicit MovingAccessibility(std::shared_ptr<Accessibility> inner) : inner_(std::move(inner)) {}

  std::optional<WindowID> windowNumber(const AXElement& element) override {
    if (element.kind != AXElementKind::window) return std::nullopt;
    return static_cast<WindowID>(element.token);
  }
  AXCopyResult copyAttributeValue(const AXElement& element, std::string_view attribute) override {
    AXCopyResult result = inner_->copyAttributeValue(element, attribute);
    if (attribute == "AXSize" && result.value) {
      if (const auto* size = std::get_if<Size>(&*result.value)) result.value = Size{size->width * 1.6, size->height};
    }
    return result;
  }
  bool isProcessTrusted() override { return inner_->isProcessTrusted(); }
  bool isProcessTrustedWithPrompt() override { return inner_->isProcessTrustedWithPrompt(); }
  AXElement createApplication(ProcessID pid) override { return inner_->createApplication(pid); }
  AXError setAttributeValue(const AXElement& e, std::string_view a, const AXAttributeValue& v) override {
    return inner_->setAttributeValue(e, a, v);
  }
  AXSettableResult isAttributeSettable(const AXElement& e, std::string_view a) override {
    return inner_->isAttributeSettable(e, a);
  }
  AXError performAction(const AXElement& e, std::string_view a) override { return inner_->performAction(e, a); }
  AXObserverCreateResult createObserver(ProcessID p, AXObserverCallback c) override {
    return inner_->createObserver(p, std::move(c));
  }
  AXError addNotification(AXObserver o, const AXElement& e, std::string_view n) override {
    return inner_->addNotification(o, e, n);
  }
  AXError removeNotification(AXObserver o, const AXElement& e, std::string_view n) override {
    return inner_->removeNotification(o, e, n);
  }
  void destroyObserver(AXObserver o) override { inner_->destroyObserver(o); }

 private:
  std::shared_ptr<Accessibility> inner_;
};

TEST_F(CoordinatorSim, WindowsStillMovingWhenALayoutStartsAreAllTakenIn) {
  platform.accessibility = std::make_shared<MovingAccessibility>(platform.accessibility);
  coordinator = LayoutCoordinator::create(platform, chrome);
  const ProcessID editor = launch("Editor");
  for (int i = 0; i < 4; ++i) open(editor, "w" + std::to_string(i), Rect(50.0 + 60 * i, 40.0 + 30 * i, 500, 400));
  settle();

  coordinator->startLayout(LayoutKind::stackFocus);
  EXPECT_TRUE(alertTitles().empty());
  EXPECT_EQ(now().windowIDs().size(), 4u);
}

}  // namespace
}  // namespace tessarapane
