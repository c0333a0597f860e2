// Which windows may be managed, and which element each one is.
#include "windows/WindowIndexer.h"

#include <gtest/gtest.h>

#include "WindowsSim.h"

namespace tessarapane {


struct WindowIndexerSim : WindowsSim {
  std::vector<WindowID> stack() {
    std::vector<WindowID> numbers;
    for (const auto& entry : WindowIndexer(platform).onScreenWindowStack()) numbers.push_back(entry.windowID);
    return numbers;
  }
};

TEST_F(WindowIndexerSim, OnlyOrdinaryWindowsOfOtherRegularApplicationsAreManaged) {
  const ProcessID editor = launch("Editor");
  open(editor, "narrow", Rect(0, 30, 119, 80));
  open(editor, "smallest", Rect(200, 30, 120, 80));
  open(editor, "flat", Rect(400, 30, 120, 79));
  open(editor, "invisible", Rect(0, 300, 300, 200), [](auto& s) { s.alpha = 0.0; });
  open(editor, "no alpha", Rect(400, 300, 300, 200), [](auto& s) { s.alpha.reset(); });
  open(editor, "layer", Rect(800, 300, 300, 200), [](auto& s) { s.layer = 3; });
  const WindowID doc = open(editor, "Doc", Rect(0, 25, 900, 700));
  desktop->attachSheet(doc, Rect(250, 50, 400, 200));
  for (const char* subrole : {"AXDialog", "AXSystemDialog", "AXFloatingWindow", "AXSystemFloatingWindow", "AXOther"}) {
    open(editor, subrole, Rect(300, 200, 400, 300), [&](SimWindowSpec& s) { s.subrole = subrole; });
  }
  open(editor, "modal", Rect(200, 150, 500, 350), [](SimWindowSpec& s) { s.modal = true; });
  // A minimised twin of the document: were it a candidate, it could take the
  // document's entry.
  open(editor, "Doc", Rect(0, 25, 900, 700), [](SimWindowSpec& s) { s.minimized = true; });
  desktop->setFullScreen(open(launch("Player"), "Movie", Rect(100, 100, 700, 500)), true);
  open(launch("Kiosk"), "covers the display", Rect(0, 0, 1440, 900));

  // Without a subrole a window must be movable and show a title-bar control.
  auto bare = [](SimWindowSpec& s) {
    s.subrole.reset();
    s.closeButton.present = s.minimizeButton.present = s.zoomButton.present = false;
  };
  open(launch("Bare"), "zoom only", Rect(100, 100, 400, 300), [&](auto& s) { bare(s); s.zoomButton.present = true; });
  open(launch("Bare2"), "no controls", Rect(100, 100, 400, 300), bare);
  open(launch("Fixed"), "fixed", Rect(100, 100, 400, 300), [](auto& s) { s.subrole.reset(); s.positionSettable = false; });

  const Rect frame(100, 100, 600, 400);
  open(launch("Accessory", ActivationPolicy::accessory), "accessory", frame);
  open(launch("Prohibited", ActivationPolicy::prohibited), "prohibited", frame);
  open(launch("Dock helper", {}, [](SimAppSpec& s) { s.bundleIdentifier = "com.apple.dock"; }), "dock", frame);
  open(launch("Wallpaper"), "wallpaper", frame);
  open(launch("Self", {}, [&](SimAppSpec& s) { s.pid = desktop->currentProcessID(); }), "tab bar", frame);
  const WindowID hungWindow = open(launch("Hung", {}, [](SimAppSpec& s) { s.answersAccessibility = false; }), "hung", frame);
  const WindowID scratch = open(launch("", {}, [](SimAppSpec& s) { s = SimAppSpec{}; }), "Scratch", Rect(800, 100, 500, 400));

  EXPECT_EQ(indexed(), (Lines{"应用/Scratch (800, 100, 500, 400)", "Bare/zoom only (100, 100, 400, 300)",
                              "Editor/Doc (0, 25, 900, 700)", "Editor/no alpha (400, 300, 300, 200)",
                              "Editor/smallest (200, 30, 120, 80)"}));
  // Restacking sees every entry that passes the list filter, the hung
  // application's too, whatever its elements say.
  const std::vector<WindowID> all = stack();
  EXPECT_EQ(all.size(), 17u);
  EXPECT_EQ(all[0], scratch);
  EXPECT_EQ(all[1], hungWindow);
}

TEST_F(WindowIndexerSim, EntriesAreMatchedToElementsByTitleThenGeometry) {
  // The window list trails a window by a few points: the record keeps the
  // accessibility frame, and titles missing from the list come from it.
  const ProcessID notes = launch("Notes");
  const WindowID shopping = open(notes, "Shopping", Rect(100, 100, 600, 400), [](SimWindowSpec& s) {
    s.titleInWindowList = false;
  });
  listed->bounds[shopping] = Rect(110, 104, 600, 400);
  // An equal title outweighs a closer frame.
  const ProcessID mail = launch("Mail");
  const WindowID inbox = open(mail, "Inbox", Rect(0, 30, 600, 400));
  open(mail, "Draft", Rect(40, 30, 600, 400));
  listed->bounds[inbox] = Rect(40, 30, 600, 400);
  // Twins nothing tells apart: the front entry takes the first element the
  // application lists, the next entry the one left over.
  const ProcessID terminal = launch("Terminal");
  auto untitled = [](SimWindowSpec& s) { s.titleInWindowList = false; };
  open(terminal, "Alpha", Rect(100, 100, 700, 500), untitled);
  open(terminal, "Beta", Rect(100, 100, 700, 500), untitled);
  EXPECT_EQ(indexed(), (Lines{"Terminal/Beta (100, 100, 700, 500)", "Terminal/Alpha (100, 100, 700, 500)",
                              "Mail/Draft (40, 30, 600, 400)", "Mail/Inbox (0, 30, 600, 400)",
                              "Notes/Shopping (100, 100, 600, 400)"}));
  EXPECT_EQ(indexed(notes), Lines{"Notes/Shopping (100, 100, 600, 400)"});

  // Farther than 240 points only with an overlap of 0.65, and sizes within
  // 0.72 of each other.
  const ProcessID far = launch("Overlapping");  // 300 off, overlap 0.665
  listed->bounds[open(far, "", Rect(0, 25, 1300, 850))] = Rect(75, 100, 1375, 925);
  const ProcessID shifted = launch("Shifted");  // 300 off, overlap 0.573
  listed->bounds[open(shifted, "", Rect(0, 25, 1300, 850))] = Rect(150, 175, 1300, 850);
  const ProcessID thin = launch("Thin");  // size ratio 0.7
  listed->bounds[open(thin, "", Rect(100, 100, 500, 400))] = Rect(100, 150, 350, 400);
  const ProcessID enough = launch("Enough");  // size ratio 0.72
  listed->bounds[open(enough, "", Rect(100, 100, 500, 400))] = Rect(100, 150, 360, 400);
  const ProcessID near = launch("Near");  // 240 off
  listed->bounds[open(near, "", Rect(100, 100, 500, 400))] = Rect(340, 100, 500, 400);
  EXPECT_EQ(indexed(far), Lines{"Overlapping/ (0, 25, 1300, 850)"});
  EXPECT_EQ(indexed(shifted), Lines{});
  EXPECT_EQ(indexed(thin), Lines{});
  EXPECT_EQ(indexed(enough), Lines{"Enough/ (100, 100, 500, 400)"});
  EXPECT_EQ(indexed(near), Lines{"Near/ (100, 100, 500, 400)"});

  desktop->failNextWindowListReads(2);
  EXPECT_EQ(indexed(), Lines{});
  EXPECT_EQ(stack(), std::vector<WindowID>{});
}

}  // namespace tessarapane
