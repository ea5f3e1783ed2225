// Plays the window scenarios on the Qt window: one data row per scenario,
// keys and clicks sent as a user would, with QTest.

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "tests/window/scenarios.h"
#include "tests/window/scoped_palette.h"
#include "ui/form1.h"

namespace velsona::window_tests {
namespace {

// What assistive technology was last told out loud: an announcement, or
// (before Qt 6.8) a notification object appearing, named by its words.
QString heard;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
void HearAnnouncements(QAccessibleEvent* event) {
  if (event->type() == QAccessible::Announcement) heard = static_cast<QAccessibleAnnouncementEvent*>(event)->message();
}
#else
// Watched as it appears, since the offscreen platform has no accessibility
// events to catch.
class NoticeWatcher : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      QAccessibleInterface* notice = QAccessible::queryAccessibleInterface(watched);
      if (notice != nullptr && notice->role() == QAccessible::Notification) heard = notice->text(QAccessible::Name);
    }
    return false;
  }
};
#endif

class QtDriver : public Driver {
 public:
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  // Every accessibility event comes here instead of to a screen reader.
  QtDriver() {
    QAccessible::installUpdateHandler(HearAnnouncements);
    QAccessible::setActive(true);
  }
  ~QtDriver() override { QAccessible::installUpdateHandler(nullptr); }
#else
  QtDriver() { QApplication::instance()->installEventFilter(&watcher_); }
#endif

  void Open(const std::string& separator) override {
    separator_ = separator;
    form_ = std::make_unique<ui::Form1>([this] { return platform::NumberFormat{separator_}; });
    form_->Show();
    top()->activateWindow();
    if (!QTest::qWaitForWindowActive(top())) qWarning("window not active");
  }
  void Close() override {
    TakeWarning();
    form_.reset();
    dark_.reset();
  }
  void SetSeparator(const std::string& separator) override { separator_ = separator; }
  void Type(const char* control, const std::string& text) override {
    QWidget* widget = Find<QWidget>(control);
    widget->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(widget, Qt::Key_Delete);
    for (const QChar key : QString::fromStdString(text)) QTest::keyClicks(QApplication::focusWidget(), key);
  }
  void Paste(const char* control, const std::string& text) override {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    QWidget* widget = Find<QWidget>(control);
    widget->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
  }
  void Click(const char* control) override {
    auto* button = Find<QAbstractButton>(control);
    // The check box's indicator, or the middle of a push button.
    const QPoint at = qobject_cast<QCheckBox*>(button) ? QPoint(8, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
  }
  void Press(Key key) override {
    const Qt::Key qtKey = key == Key::Tab        ? Qt::Key_Tab
                          : key == Key::ShiftTab ? Qt::Key_Backtab
                          : key == Key::Enter    ? Qt::Key_Return
                                                 : Qt::Key_Space;
    QTest::keyClick(QApplication::focusWidget(), qtKey, key == Key::ShiftTab ? Qt::ShiftModifier : Qt::NoModifier);
  }
  std::string Text(const char* control) override {
    QWidget* widget = Find<QWidget>(control);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
    return qobject_cast<QAbstractButton*>(widget)->text().toStdString();
  }
  bool Ticked(const char* control) override { return Find<QCheckBox>(control)->isChecked(); }
  bool KeepsTabInside() override { return true; }
  std::string Focused() override {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && top()->isAncestorOf(focus) ? focus->objectName().toStdString() : std::string();
  }
  // The accessible tree, depth first, as the AT-SPI bridge hands it on.
  std::vector<std::string> ReadingOrder() override {
    std::vector<std::string> names;
    const std::function<void(QAccessibleInterface*)> visit = [&](QAccessibleInterface* node) {
      for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child == nullptr) continue;
        if (const QObject* object = child->object()) names.push_back(object->objectName().toStdString());
        visit(child);
      }
    };
    visit(QAccessible::queryAccessibleInterface(top()));
    return names;
  }
  std::string DoubleClickSelection(const char* control) override {
    auto* field = Find<QLabel>(control);
    QTest::mouseDClick(field, Qt::LeftButton, Qt::NoModifier, field->rect().center());
    return field->selectedText().toStdString();
  }
  std::optional<Warning> TakeWarning() override {
    QMessageBox* box = top()->findChild<QMessageBox*>(QStringLiteral("failureMessage"));
    if (box == nullptr || !box->isVisible()) return std::nullopt;
    // The text as the box shows it and a screen reader reads it: its label's accessible name, which is
    // the label's text made plain where the label takes it for markup.
    auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    QAccessibleInterface* shown = label != nullptr ? QAccessible::queryAccessibleInterface(label) : nullptr;
    Warning warning{box->windowTitle().toStdString(),
                    shown != nullptr ? shown->text(QAccessible::Name).toStdString() : std::string(),
                    box->icon() == QMessageBox::Warning,
                    box->parentWidget() == top() && box->windowModality() != Qt::NonModal};
    box->button(QMessageBox::Ok)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return warning;
  }
  Rgb Background(const char* control) override {
    QWidget* widget = Find<QWidget>(control);
    const QImage image = widget->grab().toImage();
    const QColor pixel = image.pixelColor(QPoint(2, widget->height() / 2) * image.devicePixelRatio());
    return {pixel.red(), pixel.green(), pixel.blue()};
  }
  Rect Place(const char* control) override {
    QWidget* widget = Find<QWidget>(control);
    const QPoint at = widget->mapTo(top(), QPoint(0, 0));
    return {at.x(), at.y(), widget->width(), widget->height()};
  }
  double Scale() override { return 1.0; }  // Qt places in pixels of 96 dpi and scales them itself
  WindowFacts Facts() override {
    WindowFacts facts;
    facts.title = top()->windowTitle().toStdString();
    facts.clientWidth = top()->width();
    facts.clientHeight = top()->height();
    facts.resizable = top()->minimumSize() != top()->maximumSize();
    facts.maximisable = top()->windowFlags().testFlag(Qt::WindowMaximizeButtonHint);
    facts.hasIcon = !top()->windowIcon().isNull();
    const QPoint offCentre = top()->geometry().center() - top()->screen()->availableGeometry().center();
    facts.offCentreX = offCentre.x();
    facts.offCentreY = offCentre.y();
    return facts;
  }
  std::vector<std::string> CutOffCaptions() override {
    std::vector<std::string> cut;
    for (QLabel* label : top()->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;
      if (label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width() ||
          label->fontMetrics().height() > label->contentsRect().height()) {
        cut.push_back(label->objectName().toStdString());
      }
    }
    for (QAbstractButton* button : top()->findChildren<QAbstractButton*>()) {
      if (button->text().isEmpty()) continue;
      if (button->sizeHint().width() > button->width() || button->sizeHint().height() > button->height()) {
        cut.push_back(button->objectName().toStdString());
      }
    }
    return cut;
  }
  FieldLook Look(const char* control) override {
    auto* label = Find<QLabel>(control);
    FieldLook look;
    const QFont font = label->font();
    look.bold = font.bold();
    look.points = font.pointSizeF();
    const qreal room = label->contentsRect().width() - 2 * label->margin();
    look.whole = QFontMetricsF(font).horizontalAdvance(label->text()) <= room;
    const QColor ink = label->palette().color(label->foregroundRole());
    look.ink = {ink.red(), ink.green(), ink.blue()};
    const QImage image = label->grab().toImage();
    const QColor border = image.pixelColor(QPoint(0, label->height() / 2) * image.devicePixelRatio());
    look.border = {border.red(), border.green(), border.blue()};
    return look;
  }
  std::string Tooltip(const char* control) override { return Find<QWidget>(control)->toolTip().toStdString(); }
  void UseDarkColours() override {
    QPalette dark = QApplication::palette();
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
      dark.setColor(role, QColor(40, 40, 40));
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      dark.setColor(role, QColor(230, 230, 230));
    }
    dark_.emplace(dark);
  }
  std::string Announced() override {
    QCoreApplication::processEvents();
    return std::exchange(heard, QString()).toStdString();
  }

 private:
  std::optional<tests::ScopedPalette> dark_;
  QWidget* top() const { return static_cast<QWidget*>(form_->NativeWindow()); }
  template <typename T>
  T* Find(const char* name) const {
    T* widget = top()->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
  }

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
  NoticeWatcher watcher_;
#endif
  std::string separator_ = ".";
  std::unique_ptr<ui::Form1> form_;
};

}  // namespace
}  // namespace velsona::window_tests

using velsona::window_tests::Scenario;

class WindowScenariosOnQt : public QObject {
  Q_OBJECT

 private slots:
  void play_data() {
    QTest::addColumn<int>("index");
    const std::vector<Scenario> scenarios = velsona::window_tests::WindowScenarios();
    for (std::size_t i = 0; i < scenarios.size(); ++i) {
      QTest::newRow(scenarios[i].name.c_str()) << static_cast<int>(i);
    }
  }
  void play() {
    QFETCH(int, index);
    const Scenario scenario = velsona::window_tests::WindowScenarios().at(static_cast<std::size_t>(index));
    velsona::window_tests::QtDriver driver;
    const std::vector<std::string> faults = velsona::window_tests::Play(driver, scenario);
    QString report;
    for (const std::string& fault : faults) report += QString::fromStdString("\n  " + fault);
    QVERIFY2(faults.empty(), qPrintable(report));
  }
};

QTEST_MAIN(WindowScenariosOnQt)
#include "qt_driver.moc"
