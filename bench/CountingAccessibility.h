#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/Accessibility.h"

namespace tessarapane::bench {

// Counts attribute reads and writes: on a real desktop each is a round trip
// to another application, so they say what a run would cost there.
class CountingAccessibility final : public Accessibility {
 public:
  explicit CountingAccessibility(std::shared_ptr<Accessibility> inner) : inner_(std::move(inner)) {}

  std::uint64_t reads = 0;
  std::uint64_t writes = 0;

  bool isProcessTrusted() override { return inner_->isProcessTrusted(); }
  bool isProcessTrustedWithPrompt() override { return inner_->isProcessTrustedWithPrompt(); }
  AXElement createApplication(ProcessID pid) override { return inner_->createApplication(pid); }
  AXCopyResult copyAttributeValue(const AXElement& element, std::string_view attribute) override {
    ++reads;
    return inner_->copyAttributeValue(element, attribute);
  }
  AXError setAttributeValue(const AXElement& element, std::string_view attribute,
                            const AXAttributeValue& value) override {
    ++writes;
    return inner_->setAttributeValue(element, attribute, value);
  }
  AXSettableResult isAttributeSettable(const AXElement& element, std::string_view attribute) override {
    return inner_->isAttributeSettable(element, attribute);
  }
  AXError performAction(const AXElement& element, std::string_view action) override {
    ++writes;
    return inner_->performAction(element, action);
  }
  AXObserverCreateResult createObserver(ProcessID pid, AXObserverCallback callback) override {
    return inner_->createObserver(pid, std::move(callback));
  }
  AXError addNotification(AXObserver observer, const AXElement& element, std::string_view notification) override {
    return inner_->addNotification(observer, element, notification);
  }
  AXError removeNotification(AXObserver observer, const AXElement& element, std::string_view notification) override {
    return inner_->removeNotification(observer, element, notification);
  }
  void destroyObserver(AXObserver observer) override { inner_->destroyObserver(observer); }

 private:
  std::shared_ptr<Accessibility> inner_;
};

}  // namespace tessarapane::bench
