#include "platform/window/qt/announcer_qt.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

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

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
Announcer::Announcer(QWidget* window) : window_(window) {}
#else
Announcer::Announcer(QWidget* window) : notice_(new QWidget(window)) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(NoticeAsNotification);
    return true;
  }();
  (void)factoryInstalled;
  notice_->setObjectName(kNoticeName);
  notice_->setGeometry(0, 0, 0, 0);
  notice_->setFocusPolicy(Qt::NoFocus);
  notice_->setAttribute(Qt::WA_TransparentForMouseEvents);
  notice_->hide();
}
#endif

void Announcer::Say(const QString& utterance) {
  if (utterance.isEmpty()) return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QAccessibleAnnouncementEvent announcement(window_, utterance);
  QAccessible::updateAccessibility(&announcement);
#else
  // Hidden and shown again, so that the same words twice are spoken twice.
  notice_->hide();
  notice_->setAccessibleName(utterance);
  notice_->show();
#endif
}

}  // namespace velsona::platform
