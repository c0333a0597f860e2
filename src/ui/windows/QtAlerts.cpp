#include "ui/windows/QtAlerts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/services/QtConversions.h"

namespace tessarapane::ui {

std::size_t QtAlerts::runModal(std::string_view title, std::string_view message,
                               const std::vector<std::string>& buttons) {
  return run(title, message, buttons, false);
}

std::size_t QtAlerts::runNotice(std::string_view title, std::string_view message,
                                const std::vector<std::string>& buttons) {
  return run(title, message, buttons, true);
}

std::size_t QtAlerts::run(std::string_view title, std::string_view message, const std::vector<std::string>& buttons,
                          bool notice) {
  QMessageBox box;
  box.setProperty(kNoticeProperty, notice);
  box.setIcon(QMessageBox::Information);
  box.setWindowTitle(QApplication::applicationDisplayName());
  box.setText(toQString(title));
  box.setInformativeText(toQString(message));
  box.setWindowFlag(Qt::WindowStaysOnTopHint);

  std::vector<QPushButton*> added;
  for (const std::string& text : buttons) added.push_back(box.addButton(toQString(text), QMessageBox::AcceptRole));
  if (added.empty()) added.push_back(box.addButton(localizedText("好"), QMessageBox::AcceptRole));
  box.setDefaultButton(added.front());
  box.setEscapeButton(added.back());

  if (onAboutToRun) onAboutToRun(box);
  box.exec();
  const QAbstractButton* clicked = box.clickedButton();
  for (std::size_t index = 0; index < added.size(); ++index) {
    if (added[index] == clicked) return index;
  }
  return added.size() - 1;
}

}  // namespace tessarapane::ui
