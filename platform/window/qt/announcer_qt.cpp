#include "platform/window/qt/announcer_qt.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace velsona::platform {
namespace {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// Without announcement events, a screen reader speaks an object of the
// notification role when it appears: the window holds one, of no size, that
// appears again, named by the message, for each announcement.
const QLatin1String kNoticeName("resultAnnouncement");

QAccessibleInterface* NoticeAsNotification(const QString& className, QObject* object) {
  if (className != QLatin1String("QWidget") || object->objectName() != kNoticeName || !object->isWidgetType()) {
    return nullptr;
  }
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
}
#endif

}  // namespace

ResultAnnouncer::ResultAnnouncer(QWidget* window) : window_(window) {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(NoticeAsNotification);
    return true;
  }();
  (void)factoryInstalled;
  notice_ = new QWidget(window);
  notice_->setObjectName(kNoticeName);
  notice_->setGeometry(0, 0, 0, 0);
  notice_->setFocusPolicy(Qt::NoFocus);
  notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
  notice_->hide();
#endif
}

void ResultAnnouncer::Changed(const QString& name, const QString& before, const QString& after) {
  const auto known = std::find_if(pending_.begin(), pending_.end(), [&](const Change& c) { return c.name == name; });
  if (known != pending_.end()) {
    known->after = after;
    return;
  }
  // The first change of this calculation: the announcement waits for the
  // handler to return, with every change it makes.
  if (pending_.empty()) QTimer::singleShot(0, window_, [this] { Announce(); });
  pending_.push_back({name, before, after});
}

void ResultAnnouncer::Announce() {
  QStringList parts;
  for (const Change& change : pending_) {
    if (change.after == change.before) continue;
    const QString value = change.after.isEmpty() ? QStringLiteral("nessun valore") : change.after;
    parts << change.name + QStringLiteral(": ") + value;
  }
  pending_.clear();
  if (parts.isEmpty()) return;
  const QString message = parts.join(QStringLiteral(". "));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QAccessibleAnnouncementEvent announcement(window_, message);
  QAccessible::updateAccessibility(&announcement);
#else
  notice_->hide();
  notice_->setAccessibleName(message);
  notice_->show();
#endif
}

}  // namespace velsona::platform
