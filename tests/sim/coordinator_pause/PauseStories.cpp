// Sleep, lock and session switches pause the running layout; the end of the
// last reason brings it back in three passes.
#include "backends/sim/SimLog.h"
#include "sim/coordinator/StorySim.h"

namespace tessarapane {
namespace {

class Pause : public StorySim {
 protected:
  // The system sends an event; it arrives on the next turn of the main loop.
  void post(SystemEvent event) {
    desktop->postSystemEvent(event);
    scheduler->runPending();
  }
  // The pause log as a person reads it: snapshot lines by their label only.
  std::vector<std::string> pauseLog() {
    std::vector<std::string> result;
    for (const SimLog::Line& line : desktop->log()->lines()) {
      EXPECT_EQ(line.subsystem + " " + line.category, "org.tessarapane.Tessarapane Pause");
      result.push_back(line.text.substr(0, line.text.find(" screens=")));
    }
    desktop->log()->clear();
    return result;
  }
  using Log = std::vector<std::string>;
  const Log kPasses = {"resume round 0 before", "resume round 0 after", "resume round 1 before",
                       "resume round 1 after",  "resume round 2 before", "resume round 2 after"};
  Log with(Log log, const Log& more) {
    log.insert(log.end(), more.begin(), more.end());
    return log;
  }
};

TEST_F(Pause, EachReasonHoldsTheLayoutStillUntilItEnds) {
  const IDs w = openApps({"a", "b"});
  // Without a layout, pauses are only logged.
  post(SystemEvent::screenUnlocked);
  post(SystemEvent::systemWillSleep);
  post(SystemEvent::systemDidWake);
  advance(10);
  EXPECT_EQ(pauseLog(), (Log{"pause end all (unlock) resumed=false", "pause begin systemAsleep started=true active=false",
                             "pause end systemAsleep resumed=true"}));
  EXPECT_TRUE(desktop->recorder().calls().empty());
  coordinator->startLayout(LayoutKind::split2);
  settle();
  struct Reason {
    SystemEvent begins, ends;
    std::string name, end;
  };
  using E = SystemEvent;
  for (const Reason& reason : {Reason{E::screensDidSleep, E::screensDidWake, "screensAsleep", "screensAsleep"},
                               Reason{E::systemWillSleep, E::systemDidWake, "systemAsleep", "systemAsleep"},
                               Reason{E::sessionDidResignActive, E::sessionDidBecomeActive, "sessionInactive",
                                      "sessionInactive"},
                               Reason{E::screenLocked, E::screenUnlocked, "screenLocked", "all (unlock)"}}) {
    SCOPED_TRACE(reason.name);
    desktop->log()->clear();
    post(reason.begins);
    // Nothing is put back or adopted while paused; the layout is kept.
    desktop->moveWindow(w[0], Rect(300, 300, 500, 400));
    const WindowID late = open(launch("Late" + reason.name), "late", Rect(900, 200, 400, 300));
    advance(30);
    EXPECT_EQ(layout(), "split2 @1 [b*] [a*] mem=tabs:split2");
    EXPECT_EQ(frameOf(w[0]), Rect(300, 300, 500, 400));
    post(reason.ends);
    advance(7);
    EXPECT_EQ(pauseLog(), with({"pause begin " + reason.name + " started=true active=true", "paused",
                                "pause end " + reason.end + " resumed=true"}, kPasses));
    EXPECT_EQ(layout(), "split2 @1 [b*] [a late*] mem=tabs:split2");
    EXPECT_EQ(desk().substr(0, 34), "a(720,57 720x843) b(0,57 720x843) ");
    desktop->closeWindow(late);
    settle();
  }
}

TEST_F(Pause, ThePassesComeAtOneAndAHalfThreeAndSixSecondsAfterTheLastReasonEnds) {
  const IDs w = openApps({"a", "b"});
  coordinator->startLayout(LayoutKind::split2);
  settle();
  post(SystemEvent::screensDidSleep);
  post(SystemEvent::screenLocked);
  post(SystemEvent::screensDidWake);
  desktop->moveWindow(w[0], Rect(300, 300, 500, 400));
  advance(10);
  EXPECT_EQ(frameOf(w[0]), Rect(300, 300, 500, 400));
  post(SystemEvent::screenUnlocked);
  post(SystemEvent::systemDidWake);  // late: only logged
  EXPECT_EQ(pauseLog(), (Log{"pause begin screensAsleep started=true active=true", "paused",
                             "pause begin screenLocked started=false active=true", "pause end screensAsleep resumed=false",
                             "pause end all (unlock) resumed=true", "pause end systemAsleep resumed=false"}));
  const double resumed = scheduler->now();
  const auto at = [&](double seconds) { scheduler->advance(resumed + seconds - scheduler->now()); };
  at(1.499);
  EXPECT_EQ(frameOf(w[0]), Rect(300, 300, 500, 400));
  // Each pass lays the layout out again and brings it to the front.
  at(1.501);
  EXPECT_EQ(desk(), "a(720,57 720x843) b(0,57 720x843)");
  at(2.5);
  desktop->moveWindow(w[1], Rect(10, 40, 400, 300));
  desktop->recorder().clear();
  at(2.999);
  EXPECT_EQ(frameOf(w[1]), Rect(10, 40, 400, 300));
  at(3.001);
  EXPECT_EQ(desk(), "a(720,57 720x843) b(0,57 720x843)");
  EXPECT_EQ(desktop->recorder().raisedWindows(), (IDs{w[1], w[0]}));
  at(5.999);
  EXPECT_EQ(pauseLog(), Log(kPasses.begin(), kPasses.begin() + 4));
  at(40);
  EXPECT_EQ(pauseLog(), Log(kPasses.begin() + 4, kPasses.end()));

  // A pause during the passes cancels the rest; the next resume starts its
  // own three.
  post(SystemEvent::systemWillSleep);
  post(SystemEvent::systemWillSleep);
  post(SystemEvent::systemDidWake);
  advance(2);
  post(SystemEvent::sessionDidResignActive);
  advance(20);
  post(SystemEvent::sessionDidBecomeActive);
  advance(6.001);
  EXPECT_EQ(pauseLog(), with({"pause begin systemAsleep started=true active=true", "paused",
                              "pause begin systemAsleep started=false active=true", "pause end systemAsleep resumed=true",
                              "resume round 0 before", "resume round 0 after",
                              "pause begin sessionInactive started=true active=true", "paused",
                              "pause end sessionInactive resumed=true"},
                             kPasses));
}

TEST_F(Pause, AGridKeepsItsTreeThroughAPause) {
  const IDs w = openApps({"a", "b"});
  coordinator->startBento();
  settle();
  auto& handles = *chrome->dividerControllers.back();
  handles.callbacks.onDragBegan({});
  handles.callbacks.onDragChanged({}, Point{358, 400});
  handles.callbacks.onDragEnded();
  post(SystemEvent::screenLocked);
  desktop->moveWindow(w[0], Rect(500, 500, 600, 300));
  // A window no notification tells of: the first pass looks for it.
  const ProcessID unobserved = launch("Unobserved");
  desktop->setObserverCreationFails(unobserved, true);
  open(unobserved, "late", Rect(200, 210, 700, 500));
  advance(30);
  EXPECT_EQ(layout(), "grid [ b a ] |358,0 8x875 mem=grid");
  post(SystemEvent::screenUnlocked);
  advance(1.501);
  EXPECT_EQ(desk(), "a(366,25 1074x875) b(0,25 358x875) late(200,210 700x500)");
  advance(0.2);
  EXPECT_EQ(layout(), "grid [ b a late ] |716,0 8x875 |724,434 716x8 mem=grid");

  // A resume whose layout ended does nothing.
  post(SystemEvent::systemWillSleep);
  post(SystemEvent::systemDidWake);
  coordinator->exitLayout(false);
  pauseLog();
  desktop->recorder().clear();
  advance(10);
  EXPECT_EQ(pauseLog(), Log{});
  EXPECT_TRUE(desktop->recorder().calls().empty());
  // Nor do events once the coordinator is gone.
  coordinator.reset();
  post(SystemEvent::screenLocked);
  post(SystemEvent::screenUnlocked);
  EXPECT_EQ(pauseLog(), Log{});
}

}  // namespace
}  // namespace tessarapane
