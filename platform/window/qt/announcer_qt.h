#pragma once

#include <QString>

class QWidget;

namespace velsona::platform {

// Delivers an utterance to a screen reader on Qt: what the window's result
// changes come to (announcements.h decides it), spoken at once.
class Announcer {
 public:
  explicit Announcer(QWidget* window);

  void Say(const QString& utterance);

 private:
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QWidget* window_;
#else
  QWidget* notice_;  // what a screen reader hears, where Qt has no announcements
#endif
};

}  // namespace velsona::platform
