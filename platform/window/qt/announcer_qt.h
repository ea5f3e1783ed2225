#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace velsona::platform {

// Tells a screen reader what one calculation did to the result fields: each
// field whose text changed, by its name and new value, all in one utterance,
// once the event that started the calculation has been handled. A field
// changed more than once meanwhile (blanked, then set) counts by its net
// change, so a value that comes back unchanged is not read again.
class ResultAnnouncer {
 public:
  explicit ResultAnnouncer(QWidget* window);

  // `name` is what the field is ("Risultato in mV/Pa"); `before` and
  // `after` its text before and after this change.
  void Changed(const QString& name, const QString& before, const QString& after);
  // Announces the changes so far at once: before a message box, which a
  // screen reader reads next and must not be cut short by them.
  void Announce();

 private:
  struct Change {
    QString name, before, after;
  };
  QWidget* window_;
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
  QWidget* notice_ = nullptr;  // what a screen reader hears, where Qt has no announcements
#endif
  std::vector<Change> pending_;
};

}  // namespace velsona::platform
