// tessarapane-screenshot FILE.png: writes the whole X screen of $DISPLAY as a
// PNG. The run script uses it to show the layouts it applied on the private
// desktop; no image tool is needed beside it.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tessarapane-screenshot FILE.png\n");
    return 2;
  }
  QGuiApplication application(argc, argv);
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) {
    std::fprintf(stderr, "tessarapane-screenshot: no screen on this display\n");
    return 1;
  }
  // Window 0 is the root window: every screen of the virtual desktop.
  const QPixmap picture = screen->grabWindow(0);
  if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "tessarapane-screenshot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
