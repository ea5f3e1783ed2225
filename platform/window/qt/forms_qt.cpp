#include "platform/window/forms.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

#include "platform/window/qt/regional_qt.h"

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
      auto* box = new QLineEdit(parent);
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
      return field;
    }
    case ControlKind::Button:
      return new QPushButton(text, parent);
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
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(spec.background->red, spec.background->green, spec.background->blue));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
  }
  if (*spec.accessibleName != '\0') widget->setAccessibleName(ToQString(spec.accessibleName));
  if (*spec.accessibleDescription != '\0') widget->setAccessibleDescription(ToQString(spec.accessibleDescription));
}

bool TakesTabFocus(ControlKind kind) {
  return kind == ControlKind::TextBox || kind == ControlKind::Button || kind == ControlKind::CheckBox;
}

// The program's icon, compiled in as a Qt resource.
QIcon ProgramIcon() { return QIcon(QStringLiteral(":/velsona/icons/velsona-32.png")); }

}  // namespace

NumberFormat CurrentNumberFormat() { return NumberFormatOf(QLocale::system()); }

NumberFormat NumberFormatOf(const QLocale& locale) {
  NumberFormat format;
  const QString separator = locale.decimalPoint();
  if (!separator.isEmpty()) format.decimalSeparator = separator.toStdString();
  return format;
}

struct Form::Impl {
  std::unique_ptr<QWidget> window;
  std::map<std::string, QWidget*, std::less<>> controls;
  // The accessible names of result fields, before their text is added.
  std::map<std::string, QString, std::less<>> accessibleNames;

  template <typename T>
  T* Find(std::string_view name) const {
    const auto found = controls.find(name);
    T* widget = found == controls.end() ? nullptr : qobject_cast<T*>(found->second);
    if (widget == nullptr) throw std::invalid_argument("no such control: " + std::string(name));
    return widget;
  }
};

Form::Form(const WindowSpec& window, const std::vector<ControlSpec>& controls) : impl_(std::make_unique<Impl>()) {
  InstallFontSubstitutes();
  impl_->window = std::make_unique<QWidget>(
      nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  QWidget* top = impl_->window.get();
  top->setObjectName(QString::fromLatin1(window.name));
  top->setWindowTitle(ToQString(window.title));
  top->setWindowIcon(ProgramIcon());
  top->setFixedSize(TwipsToPixels(window.clientWidth), TwipsToPixels(window.clientHeight));

  // Frames first, so that every other control finds its parent.
  std::vector<const ControlSpec*> ordered;
  for (const ControlSpec& spec : controls) ordered.push_back(&spec);
  std::stable_partition(ordered.begin(), ordered.end(),
                        [](const ControlSpec* spec) { return spec->kind == ControlKind::Frame; });
  for (const ControlSpec* spec : ordered) {
    QWidget* parent = *spec->frame == '\0' ? top : impl_->Find<QWidget>(spec->frame);
    QWidget* widget = MakeWidget(*spec, parent);
    ApplyLook(widget, *spec, window.fontFamily);
    impl_->controls.emplace(spec->name, widget);
    if (spec->kind == ControlKind::ResultField && *spec->accessibleName != '\0') {
      impl_->accessibleNames.emplace(spec->name, ToQString(spec->accessibleName));
    }
  }

  std::vector<const ControlSpec*> tabStops;
  for (const ControlSpec& spec : controls) {
    if (TakesTabFocus(spec.kind)) tabStops.push_back(&spec);
  }
  std::sort(tabStops.begin(), tabStops.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
  for (std::size_t i = 1; i < tabStops.size(); ++i) {
    QWidget::setTabOrder(impl_->Find<QWidget>(tabStops[i - 1]->name), impl_->Find<QWidget>(tabStops[i]->name));
  }
  if (!tabStops.empty()) impl_->Find<QWidget>(tabStops.front()->name)->setFocus();
}

Form::~Form() = default;

std::string Form::Text(std::string_view control) const {
  QWidget* widget = impl_->Find<QWidget>(control);
  if (auto* box = qobject_cast<QLineEdit*>(widget)) return box->text().toStdString();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdString();
  throw std::invalid_argument("control has no text: " + std::string(control));
}

void Form::SetText(std::string_view control, std::string_view text) {
  auto* label = impl_->Find<QLabel>(control);
  const QString value = ToQString(text);
  if (label->text() == value) return;
  label->setText(value);
  // Screen readers hear of the new text through the field's name, which
  // carries it after what the field is ("Sensibilità in mV/Pa: 4,4668");
  // setting the name sends them the change.
  const auto base = impl_->accessibleNames.find(control);
  if (base != impl_->accessibleNames.end()) {
    label->setAccessibleName(value.isEmpty() ? base->second : base->second + QStringLiteral(": ") + value);
  } else {
    QAccessibleEvent nameChanged(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
  }
}

CheckState Form::Check(std::string_view control) const {
  switch (impl_->Find<QCheckBox>(control)->checkState()) {
    case Qt::Unchecked: return CheckState::Clear;
    case Qt::Checked: return CheckState::Ticked;
    case Qt::PartiallyChecked: return CheckState::Grey;
  }
  return CheckState::Clear;
}

void Form::OnClick(std::string_view control, std::function<void()> handler) {
  auto* button = impl_->Find<QAbstractButton>(control);
  // `clicked` comes from the user's click or Space key only, after the new state is in place.
  QObject::connect(button, &QAbstractButton::clicked, button, [handler = std::move(handler)] { handler(); });
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
  auto* box = new QMessageBox(QMessageBox::Warning, ToQString(title), ToQString(message), QMessageBox::Ok,
                              impl_->window.get());
  box->setObjectName(QStringLiteral("failureMessage"));
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
  QApplication::setApplicationVersion(QStringLiteral("1.00"));
  QApplication::setOrganizationName(QStringLiteral("Velsona"));
  QApplication::setOrganizationDomain(QStringLiteral("velsona.invalid"));
  QApplication::setWindowIcon(ProgramIcon());
}

Application::~Application() = default;

int Application::Run() { return QApplication::exec(); }

}  // namespace velsona::platform
