#include <gtest/gtest.h>

#include <vector>

#include "WindowsSimFixture.h"
#include "windows/WindowController.h"
#include "windows/WindowIndexer.h"

namespace tessarapane {
namespace {

constexpr double kTimeTolerance = 1e-9;

class WindowCloseSim : public WindowsSim {
 protected:
  struct Outcome {
    std::vector<WindowCloseResult> results;
    double time = 0.0;  // when the (last) result arrived, from the start
  };

  WindowID openDoc(const std::function<void(SimWindowSpec&)>& tweak = {}) {
    app = launch("Editor");
    return open(app, "Doc", Rect(100, 100, 600, 400), tweak);
  }

  ManagedWindow managed(WindowID number) {
    for (const ManagedWindow& window : WindowIndexer(platform).currentSpaceWindows()) {
      if (window.windowID == number) return window;
    }
    ADD_FAILURE() << "window " << number << " is not listed";
    return ManagedWindow{};
  }

  WindowCloseOperation close(const ManagedWindow& window) {
    start = now();
    return controller.close(window, [this](WindowCloseResult result) {
      outcome.results.push_back(result);
      outcome.time = now() - start;
    });
  }
  WindowCloseOperation close(WindowID number) { return close(managed(number)); }

  // Runs the operation to its end (well past every schedule).
  std::optional<WindowCloseResult> finish(WindowID number) { return finish(managed(number)); }
  std::optional<WindowCloseResult> finish(const ManagedWindow& window) {
    auto operation = close(window);
    scheduler->advance(5.0);
    EXPECT_LE(outcome.results.size(), 1U);
    if (outcome.results.empty()) return std::nullopt;
    return outcome.results.front();
  }

  std::vector<double> pressTimes(WindowID number) const {
    std::vector<double> times;
    for (const SimCall& call : desktop->recorder().calls()) {
      if (call.kind == SimCall::Kind::performAction && call.name == "AXPress" && call.window == number) {
        times.push_back(call.time - start);
      }
    }
    return times;
  }

  WindowController controller{platform};
  ProcessID app = 0;
  double start = 0.0;
  Outcome outcome;
};

TEST(WindowCloseResult, ClassifyChecksTheCodesInOrder) {
  using R = WindowCloseResult;
  for (bool blocking : {false, true}) {
    // These three hold whatever dialog is showing.
    EXPECT_EQ(WindowCloseResults::classify(AXError::invalidUIElement, blocking), R::closed);
    EXPECT_EQ(WindowCloseResults::classify(AXError::success, blocking), R::requested);
    EXPECT_EQ(WindowCloseResults::classify(AXError::apiDisabled, blocking), R::accessibilityDisabled);
  }
  for (AXError error : {AXError::cannotComplete, AXError::attributeUnsupported, AXError::actionUnsupported,
                        AXError::notImplemented, AXError::noValue, AXError::failure, AXError::illegalArgument}) {
    EXPECT_EQ(WindowCloseResults::classify(error, true), R::blockedByDialog) << rawValue(error);
  }
  EXPECT_EQ(WindowCloseResults::classify(AXError::cannotComplete, false), R::temporarilyUnavailable);
  for (AXError error :
       {AXError::attributeUnsupported, AXError::actionUnsupported, AXError::notImplemented, AXError::noValue}) {
    EXPECT_EQ(WindowCloseResults::classify(error, false), R::noCloseControl) << rawValue(error);
  }
  EXPECT_EQ(WindowCloseResults::classify(AXError::failure, false), R::failed);
  EXPECT_EQ(WindowCloseResults::classify(AXError::notificationUnsupported, false), R::failed);
  EXPECT_EQ(WindowCloseResults::classify(static_cast<AXError>(-1), false), R::failed);
}

TEST_F(WindowCloseSim, AWindowThatClosesAtOnceIsClosedWithoutWaiting) {
  const WindowID doc = openDoc();
  auto operation = close(doc);
  // Never answered from inside the call.
  EXPECT_TRUE(outcome.results.empty());
  EXPECT_TRUE(operation.isPending());
  scheduler->runPending();
  EXPECT_EQ(outcome.results, (std::vector{WindowCloseResult::closed}));
  EXPECT_EQ(outcome.time, 0.0);
  EXPECT_EQ(pressTimes(doc), (std::vector<double>{0.0}));
  EXPECT_FALSE(operation.isPending());
}

TEST_F(WindowCloseSim, AWindowThatGoesWithinTheConfirmationPeriodIsClosedAtTheNextSample) {
  const WindowID doc = openDoc([](SimWindowSpec& s) {
    s.behavior.closeResponse = SimCloseResponse::closesAfterDelay;
    s.behavior.closeDelay = 0.13;
  });
  EXPECT_EQ(finish(doc), WindowCloseResult::closed);
  // Sampled every 0.06 s: gone at 0.13, seen at 0.18.
  EXPECT_NEAR(outcome.time, 0.18, kTimeTolerance);
}

TEST_F(WindowCloseSim, AWindowThatStaysAfterThePressIsRequestedAfterPointSixSeconds) {
  const WindowID doc =
      openDoc([](SimWindowSpec& s) { s.behavior.closeResponse = SimCloseResponse::asksConfirmation; });
  EXPECT_EQ(finish(doc), WindowCloseResult::requested);
  EXPECT_NEAR(outcome.time, 0.6, kTimeTolerance);
  EXPECT_EQ(pressTimes(doc).size(), 1U);
  EXPECT_TRUE(desktop->windowExists(doc));
}

TEST_F(WindowCloseSim, AWindowMinimisedInsteadOfClosedIsNotConfirmedClosed) {
  const WindowID doc = openDoc();
  accessibility->scriptAction = [this, doc](const AXElement&, std::string_view action) -> std::optional<AXError> {
    if (action != "AXPress") return std::nullopt;
    desktop->setMinimized(doc, true);
    return AXError::success;
  };
  EXPECT_EQ(finish(doc), WindowCloseResult::requested);
  EXPECT_NEAR(outcome.time, 0.6, kTimeTolerance);
}

TEST_F(WindowCloseSim, ADisabledOrMissingCloseButtonIsNoCloseControlUnlessADialogExplainsIt) {
  const WindowID disabled = openDoc([](SimWindowSpec& s) { s.closeButton.enabled = false; });
  EXPECT_EQ(finish(disabled), WindowCloseResult::noCloseControl);
  EXPECT_TRUE(pressTimes(disabled).empty());

  outcome = {};
  const WindowID missing = open(app, "No button", Rect(0, 30, 400, 300), [](SimWindowSpec& s) {
    s.closeButton.present = false;
  });
  EXPECT_EQ(finish(missing), WindowCloseResult::noCloseControl);

  outcome = {};
  const WindowID sheeted = open(app, "Unsaved", Rect(0, 30, 400, 300), [](SimWindowSpec& s) {
    s.behavior.sheetBlocking = SimSheetBlocking::disablesCloseButton;
  });
  desktop->attachSheet(sheeted, Rect(50, 60, 300, 150));
  EXPECT_EQ(finish(sheeted), WindowCloseResult::blockedByDialog);
}

TEST_F(WindowCloseSim, APressRefusedBecauseOfASheetIsBlockedAndNotRetried) {
  // The press fails with "cannot complete", which alone would be retried.
  const WindowID doc = openDoc();
  desktop->attachSheet(doc, Rect(200, 120, 300, 150));
  EXPECT_EQ(finish(doc), WindowCloseResult::blockedByDialog);
  EXPECT_EQ(pressTimes(doc), (std::vector<double>{0.0}));
}

TEST_F(WindowCloseSim, ABusyApplicationIsTriedThreeTimesAfterEachDelay) {
  const WindowID busy = openDoc([](SimWindowSpec& s) { s.behavior.cannotCompleteCount = 10; });
  EXPECT_EQ(finish(busy), WindowCloseResult::temporarilyUnavailable);
  // 0 s, then 0.05 s later, then 0.15 s after that.
  const auto times = pressTimes(busy);
  ASSERT_EQ(times.size(), 3U);
  EXPECT_NEAR(times[0], 0.0, kTimeTolerance);
  EXPECT_NEAR(times[1], 0.05, kTimeTolerance);
  EXPECT_NEAR(times[2], 0.20, kTimeTolerance);
  EXPECT_NEAR(outcome.time, 0.20, kTimeTolerance);

  outcome = {};
  const WindowID recovers = open(app, "Recovers", Rect(0, 30, 400, 300),
                                 [](SimWindowSpec& s) { s.behavior.cannotCompleteCount = 2; });
  EXPECT_EQ(finish(recovers), WindowCloseResult::closed);
  EXPECT_EQ(pressTimes(recovers).size(), 3U);
  EXPECT_FALSE(desktop->windowExists(recovers));
}

TEST_F(WindowCloseSim, ErrorsBeforeThePressAreClassifiedToo) {
  const WindowID gone = openDoc();
  const ManagedWindow record = managed(gone);
  desktop->closeWindow(gone);
  controller.close(record, [this](WindowCloseResult result) { outcome.results.push_back(result); });
  // The handle was dropped at once: nothing arrives.
  scheduler->advance(1.0);
  EXPECT_TRUE(outcome.results.empty());
  auto operation = controller.close(record, [this](WindowCloseResult result) { outcome.results.push_back(result); });
  scheduler->advance(1.0);
  EXPECT_EQ(outcome.results, (std::vector{WindowCloseResult::closed}));

  outcome = {};
  const WindowID doc = open(app, "Doc", Rect(0, 30, 400, 300));
  const ManagedWindow docRecord = managed(doc);
  desktop->setProcessTrusted(false);
  EXPECT_EQ(finish(docRecord), WindowCloseResult::accessibilityDisabled);
  desktop->setProcessTrusted(true);

  outcome = {};
  accessibility->scriptAction = [](const AXElement&, std::string_view) { return AXError::failure; };
  EXPECT_EQ(finish(docRecord), WindowCloseResult::failed);
  EXPECT_TRUE(desktop->windowExists(doc));

  outcome = {};
  accessibility->scriptAction = [](const AXElement&, std::string_view) { return AXError::actionUnsupported; };
  EXPECT_EQ(finish(docRecord), WindowCloseResult::noCloseControl);

  outcome = {};
  accessibility->scriptAction = nullptr;
  accessibility->editCopy = [](const AXElement&, std::string_view attribute, AXCopyResult& result) {
    if (attribute == "AXRole") result.value.reset();
  };
  EXPECT_EQ(finish(docRecord), WindowCloseResult::closed);
  // A role without a value ends it before the press.
  EXPECT_TRUE(desktop->windowExists(doc));
}

TEST_F(WindowCloseSim, CancellingARetryWaitEndsWithTemporarilyUnavailable) {
  const WindowID busy = openDoc([](SimWindowSpec& s) { s.behavior.cannotCompleteCount = 10; });
  auto operation = close(busy);
  scheduler->advance(0.02);
  operation.cancel();
  EXPECT_TRUE(operation.isCancelled());
  EXPECT_TRUE(outcome.results.empty());  // not from inside cancel()
  scheduler->runPending();
  EXPECT_EQ(outcome.results, (std::vector{WindowCloseResult::temporarilyUnavailable}));
  EXPECT_NEAR(outcome.time, 0.02, kTimeTolerance);
  scheduler->advance(2.0);
  EXPECT_EQ(pressTimes(busy).size(), 1U);
  EXPECT_EQ(outcome.results.size(), 1U);
  operation.cancel();  // a second cancel changes nothing
  scheduler->advance(1.0);
  EXPECT_EQ(outcome.results.size(), 1U);
}

TEST_F(WindowCloseSim, CancellingTheConfirmationEndsWithRequested) {
  const WindowID doc =
      openDoc([](SimWindowSpec& s) { s.behavior.closeResponse = SimCloseResponse::asksConfirmation; });
  auto operation = close(doc);
  scheduler->advance(0.1);
  operation.cancel();
  scheduler->runPending();
  EXPECT_EQ(outcome.results, (std::vector{WindowCloseResult::requested}));
  EXPECT_NEAR(outcome.time, 0.1, kTimeTolerance);
}

TEST_F(WindowCloseSim, DroppingTheOperationEndsItSilently) {
  const WindowID busy = openDoc([](SimWindowSpec& s) { s.behavior.cannotCompleteCount = 10; });
  {
    auto operation = close(busy);
    scheduler->advance(0.01);
  }
  scheduler->advance(2.0);
  EXPECT_TRUE(outcome.results.empty());
  EXPECT_EQ(pressTimes(busy).size(), 1U);

  // Cancelled and then dropped before the answer: nothing either.
  auto operation = close(busy);
  scheduler->advance(0.01);
  operation.cancel();
  operation = WindowCloseOperation();
  scheduler->advance(1.0);
  EXPECT_TRUE(outcome.results.empty());
}

}  // namespace
}  // namespace tessarapane
