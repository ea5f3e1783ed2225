#include "platform/window/forms.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
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
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/window/announcements.h"
#include "platform/window/form_rules.h"
#include "platform/window/qt/announcer_qt.h"
#include "platform/window/qt/regional_qt.h"
#include "velsona/version.h"

namespace velsona::platform {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The fonts the control table names are Windows fonts; these free ones,
// installed with the program, have close metrics.
void InstallFontSubstitutes() {
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

Qt::Alignment AlignmentOf(const ControlSpec& spec) {
  const Qt::Alignment horizontal = spec.alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
  return horizontal | Qt::AlignVCenter;
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

// A text box whose every paste follows the window's rule (form_rules.h):
// Ctrl+V and Shift+Insert, its menu's "Incolla", the middle button's paste of
// the selection, and a drop. Typing is QLineEdit's own.
class TextBox : public QLineEdit {
 public:
  // `field` names the box in a refusal, which goes to `refused`.
  TextBox(QWidget* parent, std::string field) : QLineEdit(parent), field_(std::move(field)) {}
  void OnRefusedPaste(std::function<void(const std::string&)> refused) { refused_ = std::move(refused); }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->matches(QKeySequence::Paste)) {
      PasteOverSelection(QGuiApplication::clipboard()->text());
      event->accept();
      return;
    }
    QLineEdit::keyPressEvent(event);
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
  // True when the text went in.
  bool Paste(const QString& pasted, int from, int to) {
    const PasteOutcome outcome = platform::Paste(text().toStdString(), static_cast<std::size_t>(from),
                                                 static_cast<std::size_t>(to), pasted.toStdString(), maxLength(),
                                                 field_);
    if (outcome.kind == PasteOutcome::Kind::Refused && refused_) refused_(outcome.message);
    if (outcome.kind != PasteOutcome::Kind::Inserted) return false;
    // As an edit of the box, which Ctrl+Z undoes.
    setSelection(std::min(from, to), std::abs(to - from));
    insert(ToQString(outcome.inserted));
    setCursorPosition(static_cast<int>(outcome.caret));
    return true;
  }

  std::string field_;
  std::function<void(const std::string&)> refused_;
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

QWidget* MakeWidget(const ControlSpec& spec, QWidget* parent) {
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
      auto* box = new TextBox(parent, *spec.accessibleName != '\0' ? spec.accessibleName : spec.name);
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
    case ControlKind::Button:
      return new PushButton(text, parent);
    case ControlKind::CheckBox:
      return new QCheckBox(text, parent);
  }
  throw std::logic_error("unknown control kind");
}

void ApplyLook(QWidget* widget, const ControlSpec& spec, const char* fontFamily) {
  widget->setObjectName(QString::fromLatin1(spec.name));
  widget->setGeometry(TwipsToPixels(spec.left), TwipsToPixels(spec.top), TwipsToPixels(spec.width),
                      TwipsToPixels(spec.height));
  QFont font(QString::fromLatin1(fontFamily));
  font.setPointSizeF(spec.fontPoints);
  font.setBold(true);
  widget->setFont(font);
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
  if (*spec.accessibleName != '\0') widget->setAccessibleName(ToQString(spec.accessibleName));
  if (*spec.accessibleDescription != '\0') {
    widget->setAccessibleDescription(ToQString(spec.accessibleDescription));
    widget->setToolTip(ToQString(spec.accessibleDescription));
  }
}

// Shows `text` whole in `field`: the field's own font when the text fits,
// otherwise that font made smaller, a quarter point at a time, until it does.
// Tells whether the font had to shrink.
bool FitText(QLabel* field, const QFont& own, const QString& text) {
  const qreal room = field->contentsRect().width() - 2 * field->margin() - 2;
  QFont font = own;
  const double points =
      FittingFontSize(own.pointSizeF(), room, kSmallestResultPoints, 0.25, [&font, &text](double size) {
        font.setPointSizeF(size);
        return QFontMetricsF(font).horizontalAdvance(text);
      });
  font.setPointSizeF(points);
  field->setFont(font);
  return points < own.pointSizeF();
}

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

}  // namespace

NumberFormat CurrentNumberFormat() { return NumberFormatOf(QLocale::system()); }

NumberFormat NumberFormatOf(const QLocale& locale) {
  NumberFormat format;
  const QString separator = locale.decimalPoint();
  if (!separator.isEmpty()) format.decimalSeparator = separator.toStdString();
  return format;
}

struct Form::Impl {
  explicit Impl(const std::vector<ControlSpec>& controls) : table(controls), widgets(table.size()) {}

  ControlTable table;
  std::unique_ptr<QWidget> window;
  std::vector<QWidget*> widgets;  // by index in the table
  // The font each result field has from the table, before its text shrinks it.
  std::vector<QFont> ownFonts;
  Announcements announcements;
  std::unique_ptr<Announcer> announcer;

  // Tells a screen reader what the result fields' changes so far come to.
  void Announce() { announcer->Say(QString::fromStdString(announcements.Take())); }

  // The widget of control `name`, checked fit for `use`.
  template <typename T>
  T* Find(std::string_view name, Use use) const {
    return static_cast<T*>(widgets[table.Find(name, use)]);
  }
};

Form::Form(const WindowSpec& window, const std::vector<ControlSpec>& controls)
    : impl_(std::make_unique<Impl>(controls)) {
  InstallFontSubstitutes();
  static const bool frameRoleInstalled = [] {
    QAccessible::installFactory(TopLevelAsFrame);
    return true;
  }();
  (void)frameRoleInstalled;
  impl_->window = std::make_unique<QWidget>(
      nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  QWidget* top = impl_->window.get();
  top->setObjectName(QString::fromLatin1(window.name));
  top->setWindowTitle(ToQString(window.title));
  top->setWindowIcon(ProgramIcon());
  top->setFixedSize(TwipsToPixels(window.clientWidth), TwipsToPixels(window.clientHeight));
  impl_->announcer = std::make_unique<Announcer>(top);

  const ControlTable& table = impl_->table;
  impl_->ownFonts.resize(table.size());
  // Made in reading order, each frame's children are in that order, which is
  // the order assistive technology gives them in; Tab follows the tab indexes.
  for (const std::size_t i : table.ReadingOrder()) {
    const std::optional<std::size_t> frame = table.FrameOf(i);
    QWidget* widget = MakeWidget(table[i], frame ? impl_->widgets[*frame] : top);
    ApplyLook(widget, table[i], window.fontFamily);
    if (table[i].kind == ControlKind::TextBox) {
      static_cast<TextBox*>(widget)->OnRefusedPaste([this](const std::string& why) { Warn(kWarningTitle, why); });
    }
    impl_->widgets[i] = widget;
    impl_->ownFonts[i] = widget->font();
  }

  const std::vector<std::size_t> tabStops = table.TabOrder();
  for (std::size_t i = 1; i < tabStops.size(); ++i) {
    QWidget::setTabOrder(impl_->widgets[tabStops[i - 1]], impl_->widgets[tabStops[i]]);
  }
  if (!tabStops.empty()) impl_->widgets[tabStops.front()]->setFocus();
}

Form::~Form() = default;

std::string Form::Text(std::string_view control) const {
  const std::size_t index = impl_->table.Find(control, Use::ReadText);
  QWidget* widget = impl_->widgets[index];
  if (impl_->table[index].kind == ControlKind::TextBox) return static_cast<QLineEdit*>(widget)->text().toStdString();
  return static_cast<QLabel*>(widget)->text().toStdString();
}

void Form::SetText(std::string_view control, std::string_view text) {
  const std::size_t index = impl_->table.Find(control, Use::WriteText);
  const ControlSpec& spec = impl_->table[index];
  auto* label = static_cast<QLabel*>(impl_->widgets[index]);
  const QString value = ToQString(text);
  const QString before = label->text();
  if (before == value) return;
  label->setText(value);
  const bool smaller = FitText(label, impl_->ownFonts[index], value);
  label->setToolTip(ToQString(ResultTooltip(spec.accessibleDescription, text, smaller)));
  // Screen readers hear of the new text through the field's name, which
  // carries it after what the field is ("Sensibilità in mV/Pa: 4,4668");
  // setting the name sends them the change. A reader speaks that only for
  // the focused control, and results never take the focus, so the change
  // is announced as well, once the handler making it has returned.
  const QString name = ToQString(spec.accessibleName);
  if (!name.isEmpty()) {
    label->setAccessibleName(value.isEmpty() ? name : name + QStringLiteral(": ") + value);
    impl_->announcements.Changed(spec.accessibleName, before.toStdString(), value.toStdString());
  } else {
    QAccessibleEvent nameChanged(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
  }
}

CheckState Form::Check(std::string_view control) const {
  switch (impl_->Find<QCheckBox>(control, Use::ReadCheck)->checkState()) {
    case Qt::Unchecked: return CheckState::Clear;
    case Qt::Checked: return CheckState::Ticked;
    case Qt::PartiallyChecked: return CheckState::Grey;
  }
  return CheckState::Clear;
}

void Form::OnClick(std::string_view control, std::function<void()> handler) {
  auto* button = impl_->Find<QAbstractButton>(control, Use::Click);
  // `clicked` comes from the user's click or Space key only, after the new
  // state is in place; each connection adds a handler, run in the order added.
  QObject::connect(button, &QAbstractButton::clicked, button, [impl = impl_.get(), handler = std::move(handler)] {
    handler();
    impl->Announce();
  });
}

void Form::Show() {
  QWidget* top = impl_->window.get();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    // The client area centred; the frame the window manager adds goes around it.
    top->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, top->size(), screen->availableGeometry()));
  }
  top->show();
  top->activateWindow();
}

void Form::Warn(std::string_view title, std::string_view message) {
  // The results' changes first: the box is what a screen reader speaks next.
  impl_->Announce();
  auto* box = new QMessageBox(QMessageBox::Warning, ToQString(title), ToQString(message), QMessageBox::Ok,
                              impl_->window.get());
  box->setObjectName(QStringLiteral("failureMessage"));
  // A message quotes what the user typed, which is never markup.
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::WindowModal);
  box->open();
}

void* Form::NativeWindow() const { return impl_->window.get(); }

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
