// The window on Qt 6 Widgets: its controls' widgets, each reporting what
// the user does to the shared window (native_window.h), the native
// operations on them, and the application around them.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFont>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTranslator>
#include <algorithm>
#include <memory>

#include "platform/window/form_rules.h"
#include "platform/window/native_window.h"
#include "platform/window/qt/announcer_qt.h"
#include "platform/window/qt/regional_qt.h"
#include "velsona/version.h"

namespace velsona::platform {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A push button that Enter and keypad Enter press as well as Space, as
// desktop users expect of a focused button. The class adds no
// signals, so it stays a QPushButton to Qt's type system.
class PushButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      if (!event->isAutoRepeat()) click();
      return;
    }
    QPushButton::keyPressEvent(event);
  }
};

// A text box that hands every paste to the shared window: Ctrl+V and
// Shift+Insert, its menu's "Incolla", the middle button's paste of the
// selection, and a drop. It tells the shared window of a typed key it
// holds back because it is full. Typing is QLineEdit's own.
class TextBox : public QLineEdit {
 public:
  TextBox(QWidget* parent, NativeEvents& events, std::size_t index)
      : QLineEdit(parent), events_(events), index_(index) {
    connect(this, &QLineEdit::textChanged, this, [this] { events_.Edited(index_); });
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Paste)) {
      PasteOverSelection(QGuiApplication::clipboard()->text());
      event->accept();
      return;
    }
    // A key that types a character, into a box with no room left for it.
    const QString typed = event->text();
    const bool typing = !typed.isEmpty() && typed.at(0).isPrint() &&
                        !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    const bool full = maxLength() > 0 && text().size() - selectedText().size() >= maxLength();
    const QString before = text();
    QLineEdit::keyPressEvent(event);
    if (typing && full && text() == before) events_.KeyRefused(index_);
  }
  void contextMenuEvent(QContextMenuEvent* event) override {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Its paste item, by the text QLineEdit gives it, rewired to the rule.
    const QString pasteText = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* action : menu->actions()) {
      if (action->text().section(QLatin1Char('\t'), 0, 0) != pasteText) continue;
      QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
      connect(action, &QAction::triggered, this,
              [this] { PasteOverSelection(QGuiApplication::clipboard()->text()); });
    }
    menu->popup(event->globalPos());
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
      const int at = cursorPositionAt(event->position().toPoint());
      Paste(clipboard->text(QClipboard::Selection), at, at);
      return;
    }
    QLineEdit::mouseReleaseEvent(event);
  }
  void dropEvent(QDropEvent* event) override {
    if (!event->mimeData()->hasText()) return QLineEdit::dropEvent(event);
    // Refused, the drop is not taken, so a move leaves the text where it came from.
    const int at = cursorPositionAt(event->position().toPoint());
    if (Paste(event->mimeData()->text(), at, at)) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
  }

 private:
  void PasteOverSelection(const QString& pasted) {
    if (hasSelectedText()) {
      Paste(pasted, selectionStart(), selectionEnd());
    } else {
      Paste(pasted, cursorPosition(), cursorPosition());
    }
  }
  bool Paste(const QString& pasted, int from, int to) {
    return events_.Pasted(index_, pasted.toStdString(), static_cast<std::size_t>(std::max(from, 0)),
                          static_cast<std::size_t>(std::max(to, 0)));
  }

  NativeEvents& events_;
  std::size_t index_;
};

// A result field is one number: a double-click selects all of it (never a
// part, which would read as another number), and its right-click menu
// offers copying it and selecting it, in Italian.
class ResultFieldBehaviour : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* field = qobject_cast<QLabel*>(watched);
    if (field != nullptr && event->type() == QEvent::MouseButtonDblClick) {
      field->setSelection(0, static_cast<int>(field->text().size()));
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

  static void ShowMenu(QLabel* field, const QPoint& at) {
    auto* menu = new QMenu(field);
    menu->setObjectName(QStringLiteral("resultMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* copy = menu->addAction(QStringLiteral("Copia"), field, [field] {
      // The selection, or the whole result when nothing is selected.
      const QString selected = field->selectedText();
      QGuiApplication::clipboard()->setText(selected.isEmpty() ? field->text() : selected);
    });
    copy->setEnabled(!field->text().isEmpty());
    QAction* all = menu->addAction(QStringLiteral("Seleziona tutto"), field,
                                   [field] { field->setSelection(0, static_cast<int>(field->text().size())); });
    all->setEnabled(!field->text().isEmpty());
    menu->popup(field->mapToGlobal(at));
  }
};

Qt::Alignment AlignmentOf(const ControlSpec& spec) {
  const Qt::Alignment horizontal = spec.alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
  return horizontal | Qt::AlignVCenter;
}

QWidget* MakeOfKind(const ControlSpec& spec, QWidget* parent, NativeEvents& events, std::size_t index) {
  const QString text = ToQString(spec.text);
  switch (spec.kind) {
    case ControlKind::Frame: {
      auto* frame = new QGroupBox(parent);
      frame->setFlat(false);
      return frame;
    }
    case ControlKind::CaptionLabel: {
      auto* label = new QLabel(text, parent);
      label->setAlignment(AlignmentOf(spec));
      return label;
    }
    case ControlKind::TextBox: {
      auto* box = new TextBox(parent, events, index);
      box->setAlignment(Qt::AlignCenter);
      if (spec.maxLength > 0) box->setMaxLength(spec.maxLength);
      return box;
    }
    case ControlKind::ResultField: {
      auto* field = new QLabel(parent);
      field->setAlignment(Qt::AlignCenter);
      field->setFrameStyle(QFrame::Box | QFrame::Plain);
      field->setLineWidth(1);
      // Selectable with the mouse and copied with Ctrl+C; out of the Tab order.
      field->setTextInteractionFlags(Qt::TextSelectableByMouse);
      field->setFocusPolicy(Qt::ClickFocus);
      field->installEventFilter(new ResultFieldBehaviour(field));
      field->setContextMenuPolicy(Qt::CustomContextMenu);
      QObject::connect(field, &QWidget::customContextMenuRequested, field,
                       [field](const QPoint& at) { ResultFieldBehaviour::ShowMenu(field, at); });
      return field;
    }
    case ControlKind::Button: {
      auto* button = new PushButton(text, parent);
      QObject::connect(button, &QAbstractButton::clicked, button, [&events, index] { events.Clicked(index); });
      return button;
    }
    case ControlKind::CheckBox: {
      auto* check = new QCheckBox(text, parent);
      // `clicked` comes from the user's click or Space key only, after the new state is in place.
      QObject::connect(check, &QAbstractButton::clicked, check, [&events, index] { events.Clicked(index); });
      return check;
    }
  }
  StopOnMisuse("control \"" + std::string(spec.name) + "\" is of no known kind");
}

// The window's top-level widget: Tab and Shift+Tab anywhere in it go to the
// shared window, which moves the focus. The class adds no signals, so it
// stays a QWidget to Qt's type system.
class TopLevel : public QWidget {
 public:
  TopLevel(NativeEvents& events, const std::vector<QWidget*>& controls)
      : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                             Qt::MSWindowsFixedSizeDialogHint),
        events_(events),
        controls_(controls) {}

 protected:
  bool focusNextPrevChild(bool next) override {
    const auto focused = std::find(controls_.begin(), controls_.end(), focusWidget());
    std::optional<std::size_t> from;
    if (focused != controls_.end()) from = static_cast<std::size_t>(focused - controls_.begin());
    return events_.Tabbed(from, !next) || QWidget::focusNextPrevChild(next);
  }
  void closeEvent(QCloseEvent* event) override {
    events_.Closed();
    QWidget::closeEvent(event);
  }

 private:
  NativeEvents& events_;
  const std::vector<QWidget*>& controls_;  // by index in the table
};

// A plain QWidget reaches assistive technology as a "filler"; a top-level
// one is a window, and a screen reader announces it only as a frame.
QAccessibleInterface* TopLevelAsFrame(const QString& className, QObject* object) {
  if (className != QLatin1String("QWidget") || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  return widget->isWindow() ? new QAccessibleWidget(widget, QAccessible::Window) : nullptr;
}

// The program's icon, compiled in as a Qt resource at every size the
// package installs, so that docks and task switchers need not scale it.
QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : kIconSizes) {
    icon.addFile(QStringLiteral(":/velsona/icons/velsona-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

// The window is Italian, so Qt's own texts (the text fields' menus, the
// buttons of message boxes) are too, whatever the locale.
void InstallItalianQtTexts(QCoreApplication* application) {
  auto* translator = new QTranslator(application);
  if (translator->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator);
  } else {
    delete translator;
  }
}

class QtWindow final : public NativeWindow {
 public:
  QtWindow(const WindowSpec& window, NativeEvents& events)
      : events_(events), top_(std::make_unique<TopLevel>(events, widgets_)), family_(window.fontFamily) {
    // The fonts the control table names are Windows fonts; these free ones,
    // installed with the program, have close metrics.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    static const bool frameRoleInstalled = [] {
      QAccessible::installFactory(TopLevelAsFrame);
      return true;
    }();
    (void)frameRoleInstalled;
    top_->setObjectName(QString::fromLatin1(window.name));
    top_->setWindowTitle(ToQString(window.title));
    top_->setWindowIcon(ProgramIcon());
    top_->setFixedSize(TwipsToPixels(window.clientWidth), TwipsToPixels(window.clientHeight));
    announcer_ = std::make_unique<Announcer>(top_.get());
  }

  void Make(std::size_t index, const ControlSpec& spec, std::optional<std::size_t> frame) override {
    widgets_.resize(std::max(widgets_.size(), index + 1));
    ownFonts_.resize(widgets_.size());
    // Made in reading order, each frame's children are in that order, which
    // is the order assistive technology gives them in.
    QWidget* widget = MakeOfKind(spec, frame ? widgets_[*frame] : top_.get(), events_, index);
    widget->setObjectName(QString::fromLatin1(spec.name));
    widget->setGeometry(TwipsToPixels(spec.left), TwipsToPixels(spec.top), TwipsToPixels(spec.width),
                        TwipsToPixels(spec.height));
    ownFonts_[index] = QFont(family_);
    ownFonts_[index].setPointSizeF(spec.fontPoints);
    ownFonts_[index].setBold(true);
    widget->setFont(ownFonts_[index]);
    if (spec.background) {
      // A fixed background takes a fixed text and border colour with it:
      // black, readable on a light background whatever the theme's colours.
      QPalette palette = widget->palette();
      palette.setColor(QPalette::Window, QColor(spec.background->red, spec.background->green, spec.background->blue));
      palette.setColor(QPalette::WindowText, Qt::black);
      palette.setColor(QPalette::Text, Qt::black);
      widget->setPalette(palette);
      widget->setAutoFillBackground(true);
    }
    widgets_[index] = widget;
  }
  void SetAccessible(std::size_t index, std::string_view name, std::string_view description) override {
    // Set only when new: Qt tells assistive technology of each change.
    QWidget* widget = widgets_[index];
    if (widget->accessibleName() != ToQString(name)) widget->setAccessibleName(ToQString(name));
    if (widget->accessibleDescription() != ToQString(description)) {
      widget->setAccessibleDescription(ToQString(description));
    }
  }
  void SetTooltip(std::size_t index, std::string_view text) override { widgets_[index]->setToolTip(ToQString(text)); }

  std::string Text(std::size_t index) const override {
    if (auto* box = qobject_cast<QLineEdit*>(widgets_[index])) return box->text().toStdString();
    return Label(index)->text().toStdString();
  }
  void SetText(std::size_t index, std::string_view text) override { Label(index)->setText(ToQString(text)); }
  void Insert(std::size_t index, std::size_t start, std::size_t end, std::string_view text) override {
    auto* box = static_cast<QLineEdit*>(widgets_[index]);
    // As an edit of the box, which Ctrl+Z undoes; the caret goes after it.
    box->setSelection(static_cast<int>(start), static_cast<int>(end - start));
    box->insert(ToQString(text));
  }
  CheckState Check(std::size_t index) const override {
    switch (static_cast<QCheckBox*>(widgets_[index])->checkState()) {
      case Qt::Unchecked: return CheckState::Clear;
      case Qt::Checked: return CheckState::Ticked;
      case Qt::PartiallyChecked: return CheckState::Grey;
    }
    return CheckState::Clear;
  }

  double Room(std::size_t index) override {
    const QLabel* field = Label(index);
    return field->contentsRect().width() - 2 * field->margin() - 2;
  }
  double TextWidth(std::size_t index, std::string_view text, double points) override {
    QFont font = ownFonts_[index];
    font.setPointSizeF(points);
    return QFontMetricsF(font).horizontalAdvance(ToQString(text));
  }
  void SetFontPoints(std::size_t index, double points) override {
    QFont font = ownFonts_[index];
    font.setPointSizeF(points);
    widgets_[index]->setFont(font);
  }

  void Focus(std::size_t index) override { widgets_[index]->setFocus(Qt::TabFocusReason); }
  void Show(std::optional<std::size_t> first) override {
    if (first) widgets_[*first]->setFocus();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      // The client area centred; the frame the window manager adds goes around it.
      top_->setGeometry(
          QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, top_->size(), screen->availableGeometry()));
    }
    top_->show();
    top_->activateWindow();
  }
  void OpenWarning(std::string_view title, std::string_view message) override {
    auto* box = new QMessageBox(QMessageBox::Warning, ToQString(title), ToQString(message), QMessageBox::Ok,
                                top_.get());
    box->setObjectName(QStringLiteral("failureMessage"));
    // A message quotes what the user typed, which is never markup.
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(box, &QDialog::finished, top_.get(), [this] { events_.WarningClosed(); });
    box->open();
  }
  void Say(std::string_view utterance) override { announcer_->Say(ToQString(utterance)); }
  void Beep() override { QApplication::beep(); }
  bool TabLeavesAtEnds() const override { return false; }
  void* Handle() const override { return top_.get(); }

 private:
  QLabel* Label(std::size_t index) const { return static_cast<QLabel*>(widgets_[index]); }

  NativeEvents& events_;
  std::vector<QWidget*> widgets_;  // by index in the table, owned by the top-level widget
  std::unique_ptr<TopLevel> top_;
  std::unique_ptr<Announcer> announcer_;
  QString family_;
  // The font each control has from the table, before a result's text shrinks it.
  std::vector<QFont> ownFonts_;
};

}  // namespace

std::unique_ptr<NativeWindow> MakeNativeWindow(const WindowSpec& window, NativeEvents& events) {
  return std::make_unique<QtWindow>(window, events);
}

NumberFormat CurrentNumberFormat() { return NumberFormatOf(QLocale::system()); }

NumberFormat NumberFormatOf(const QLocale& locale) {
  NumberFormat format;
  const QString separator = locale.decimalPoint();
  if (!separator.isEmpty()) format.decimalSeparator = separator.toStdString();
  return format;
}

struct Application::Impl {
  explicit Impl(int& argc, char** argv) : app(argc, argv) {}
  QApplication app;
};

Application::Application(int& argc, char** argv) : impl_(std::make_unique<Impl>(argc, argv)) {
  QApplication::setApplicationName(QStringLiteral("Velsona"));
  QApplication::setApplicationVersion(QString::fromLatin1(kVersionText));
  QApplication::setOrganizationName(QStringLiteral("Velsona"));
  QApplication::setOrganizationDomain(QStringLiteral("velsona.invalid"));
  QApplication::setWindowIcon(ProgramIcon());
  InstallItalianQtTexts(&impl_->app);
}

Application::~Application() = default;

int Application::Run() { return QApplication::exec(); }

}  // namespace velsona::platform
