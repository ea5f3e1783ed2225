#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QAccessible>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>

#include "calc/gamma_sn.h"
#include "calc/sensitivity.h"
#include "platform/window/forms.h"
#include "platform/window/qt/regional_qt.h"
#include "tests/calc/short_texts.h"
#include "tests/localised.h"
#include "tests/window/scoped_palette.h"
#include "ui/form1.h"
#include "ui/messages.h"

using velsona::platform::NumberFormat;
using velsona::ui::Form1;

namespace {

// The window as a user meets it: shown, active, driven with keys and clicks.
class Window {
 public:
  explicit Window(const char* separator) : form_([format = NumberFormat{separator}] { return format; }) {
    form_.Show();
    top()->activateWindow();
    if (!QTest::qWaitForWindowActive(top())) qWarning("window not active");
  }
  QWidget* top() const { return static_cast<QWidget*>(form_.NativeWindow()); }
  template <typename T = QWidget>
  T* get(const char* name) const {
    T* widget = top()->findChild<T*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control %s", name);
    return widget;
  }
  // Replaces the text of an input field as a user would: select all, type.
  void type(const char* field, const QString& text) const {
    QLineEdit* edit = get<QLineEdit>(field);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  }
  // Puts `text` on the clipboard and pastes it into an input field with
  // Ctrl+V, replacing what it held: text copied from elsewhere.
  void paste(const char* field, const QString& text) const {
    QLineEdit* edit = get<QLineEdit>(field);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText(text);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  }
  // Right-clicks `widget` in its middle; gives the menu that opens, if any.
  QMenu* rightClick(QWidget* widget) const {
    const QPoint at = widget->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }
  void click(const char* name) const {
    auto* button = get<QAbstractButton>(name);
    // The check box's indicator, or the middle of a push button.
    const QPoint at = qobject_cast<QCheckBox*>(button) ? QPoint(8, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
  }
  QString shown(const char* result) const { return get<QLabel>(result)->text(); }
  QMessageBox* message() const { return top()->findChild<QMessageBox*>(QStringLiteral("failureMessage")); }
  void dismissMessage() const {
    if (QMessageBox* box = message()) {
      box->button(QMessageBox::Ok)->click();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }

 private:
  Form1 form_;
};

const char* const kSeparators[] = {".", ","};

// A menu's item texts without accelerator marks and shortcuts, separators left out.
QStringList ItemTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    texts << action->text().section('\t', 0, 0).remove('&');
  }
  return texts;
}

// Relative luminance and contrast ratio, as the accessibility guidelines define them.
double Luminance(const QColor& colour) {
  const auto channel = [](int value) {
    const double v = value / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) + 0.0722 * channel(colour.blue());
}
double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast against the background of the starkest pixel within `area`
// of a rendered image: the core of the glyphs there, or the border.
double StarkestContrast(const QImage& image, const QRect& area, const QColor& background) {
  double starkest = 1.0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      starkest = std::max(starkest, Contrast(image.pixelColor(x, y), background));
    }
  }
  return starkest;
}

// A palette like a dark desktop theme's: light text on dark grey.
QPalette DarkPalette() {
  QPalette dark;
  const QColor window(53, 53, 53);
  const QColor text(238, 238, 236);
  for (const auto role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::AlternateBase}) {
    dark.setColor(role, role == QPalette::Base ? QColor(36, 36, 36) : window);
  }
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText}) {
    dark.setColor(role, text);
  }
  return dark;
}

// Every text a calculation gives, with the inputs that give it, for every
// input of up to `length` characters made of what numbers are made of.
using Outcomes = std::map<QString, QStringList>;
void Record(Outcomes& outcomes, const velsona::calc::CalcResult& result, std::size_t index, const QString& inputs) {
  if (const auto* done = std::get_if<velsona::calc::Done>(&result); done && index < done->texts.size()) {
    QStringList& known = outcomes[QString::fromStdString(done->texts[index])];
    if (known.size() < 1) known << inputs;
  }
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void controlsArePlacedAsTheTableSays_data();
  void controlsArePlacedAsTheTableSays();
  void noCaptionIsCutOff();
  void windowHasFixedSizeTitleAndIcon();
  void resultFieldsKeepTheirColours();
  void resultFieldsCanBeSelectedButNotEdited();
  void checkBoxSetByCodeRecomputesNothing();
  void failureIsToldAndTheProgramGoesOn_data();
  void failureIsToldAndTheProgramGoesOn();
  void regionalSeparatorComesFromTheLocale_data();
  void regionalSeparatorComesFromTheLocale();
  void hostileTextsNeverEndTheProgram_data();
  void hostileTextsNeverEndTheProgram();
  void accessibleNamesAreItalian_data();
  void accessibleNamesAreItalian();
  void newResultIsAnnounced();
  void noControlsOverlapAndAllSitInTheirFrame();
  void windowScalesEvenlyWithTheScreen();
  void resultsAreReadableUnderLightAndDarkThemes_data();
  void resultsAreReadableUnderLightAndDarkThemes();
  void windowIsAFrameNamedByItsTitle();
  void doubleClickSelectsTheWholeResult_data();
  void doubleClickSelectsTheWholeResult();
  void resultMenuCopiesAndSelectsInItalian();
  void qtOwnTextsAreItalianWhateverTheLocale_data();
  void qtOwnTextsAreItalianWhateverTheLocale();
  void widestResultsShowWhole_data();
  void widestResultsShowWhole();
  void menuPasteAndDropFollowThePasteRule_data();
  void menuPasteAndDropFollowThePasteRule();
  void enterVariantsOnAFocusedButton_data();
  void enterVariantsOnAFocusedButton();
};

void Form1Test::controlsArePlacedAsTheTableSays_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("className");
  QTest::addColumn<QString>("parentName");
  QTest::addColumn<QRect>("geometry");  // pixels at 96 dpi
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("points");
  const auto row = [](const char* name, const char* cls, const char* parent, QRect geometry, const QString& text,
                      double points) {
    QTest::newRow(name) << name << cls << parent << geometry << text << points;
  };
  row("Frame1", "QGroupBox", "Form1", {2, 4, 267, 345}, "", 8.25);
  row("Frame2", "QGroupBox", "Form1", {270, 4, 267, 345}, "", 8.25);
  row("Label2", "QLabel", "Frame1", {10, 12, 245, 23}, QStringLiteral("SENSIBILITÀ"), 13.5);
  row("DBSens1", "QLineEdit", "Frame1", {12, 46, 105, 33}, "", 12);
  row("Label4", "QLabel", "Frame1", {124, 52, 97, 23}, "dB (rif. 1V/Pa)", 9.75);
  row("MVSens1", "QLabel", "Frame1", {12, 92, 105, 31}, "", 12);
  row("Label5", "QLabel", "Frame1", {124, 98, 97, 23}, "mV/Pa", 9.75);
  row("CalcolaSens", "QPushButton", "Frame1", {12, 132, 107, 35}, "Calcola", 8.25);
  row("Arrotonda", "QCheckBox", "Frame1", {134, 138, 81, 23}, "arrotonda", 8.25);
  row("MVSens2", "QLineEdit", "Frame1", {12, 198, 105, 33}, "", 12);
  row("Label6", "QLabel", "Frame1", {124, 206, 97, 23}, "mV/Pa", 9.75);
  row("DBSens2", "QLabel", "Frame1", {12, 240, 105, 31}, "", 12);
  row("Label1", "QLabel", "Frame1", {124, 248, 97, 23}, "dB (rif. 1V/Pa)", 9.75);
  row("CalcolaSens2", "QPushButton", "Frame1", {12, 282, 107, 35}, "Calcola", 8.25);
  row("Arrotonda2", "QCheckBox", "Frame1", {134, 290, 81, 23}, "arrotonda", 8.25);
  row("Label7", "QLabel", "Frame2", {12, 12, 247, 23}, "GAMMA DINAMICA", 13.5);
  row("MAXSPL", "QLineEdit", "Frame2", {10, 60, 105, 33}, "", 12);
  row("Label3", "QLabel", "Frame2", {124, 68, 97, 23}, "dB Max SPL", 9.75);
  row("SELFNOISE", "QLineEdit", "Frame2", {10, 104, 105, 33}, "", 12);
  row("Label8", "QLabel", "Frame2", {124, 112, 97, 23}, "dB Self-Noise", 9.75);
  row("LabGamma", "QLabel", "Frame2", {10, 144, 105, 31}, "", 12);
  row("Label9", "QLabel", "Frame2", {126, 152, 137, 23}, "Gamma dinamica", 9.75);
  row("LabSN", "QLabel", "Frame2", {10, 180, 105, 31}, "", 12);
  row("Label10", "QLabel", "Frame2", {122, 188, 143, 23}, "S/N rif. 94 dB SPL", 9.75);
  row("CalcGamma", "QPushButton", "Frame2", {10, 226, 107, 35}, "Calcola", 8.25);
}

void Form1Test::controlsArePlacedAsTheTableSays() {
  QFETCH(QString, name);
  QFETCH(QString, className);
  QFETCH(QString, parentName);
  QFETCH(QRect, geometry);
  QFETCH(QString, text);
  QFETCH(double, points);
  Window window(".");
  QWidget* widget = window.get(name.toLatin1().constData());
  QCOMPARE(widget->metaObject()->className(), className);
  QCOMPARE(widget->parentWidget()->objectName(), parentName);
  QCOMPARE(widget->geometry(), geometry);
  if (auto* label = qobject_cast<QLabel*>(widget)) QCOMPARE(label->text(), text);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) QCOMPARE(button->text(), text);
  QCOMPARE(widget->font().pointSizeF(), points);
  QVERIFY(widget->font().bold());
  QVERIFY(!widget->font().italic());
  QCOMPARE(QFontInfo(widget->font()).family(), QStringLiteral("Liberation Sans"));
}

void Form1Test::noCaptionIsCutOff() {
  Window window(".");
  for (QLabel* label : window.top()->findChildren<QLabel*>()) {
    if (label->text().isEmpty()) continue;
    const int needed = label->fontMetrics().horizontalAdvance(label->text());
    QVERIFY2(needed <= label->contentsRect().width(), qPrintable(label->objectName()));
    QVERIFY2(label->fontMetrics().height() <= label->contentsRect().height(), qPrintable(label->objectName()));
  }
  for (QAbstractButton* button : window.top()->findChildren<QAbstractButton*>()) {
    if (button->text().isEmpty()) continue;  // the message box's own buttons
    QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->objectName()));
    QVERIFY2(button->sizeHint().height() <= button->height(), qPrintable(button->objectName()));
  }
}

void Form1Test::windowHasFixedSizeTitleAndIcon() {
  Window window(".");
  QWidget* top = window.top();
  QCOMPARE(top->objectName(), QStringLiteral("Form1"));
  QVERIFY(top->windowTitle().startsWith(QStringLiteral("Velsona - ")));
  QVERIFY(top->windowTitle().size() > 12);
  QCOMPARE(top->size(), QSize(541, 353));
  QCOMPARE(top->minimumSize(), top->maximumSize());
  QVERIFY(!(top->windowFlags() & Qt::WindowMaximizeButtonHint));
  // Centred to within the frame's border, which the platform may add on either side.
  const QPoint offCentre = top->geometry().center() - top->screen()->availableGeometry().center();
  QVERIFY2(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2, "the window opens centred on the screen");
  QVERIFY(!top->windowIcon().isNull());
  // Every size the package installs, so docks need not scale the smallest up.
  QCOMPARE(top->windowIcon().availableSizes(),
           (QList<QSize>{{32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
  for (const QSize& size : top->windowIcon().availableSizes()) {
    QCOMPARE(top->windowIcon().pixmap(size, 1.0).toImage().size(), size);
  }
}

void Form1Test::resultFieldsKeepTheirColours() {
  Window window(".");
  const QColor cyan(192, 255, 255);
  const QColor yellow(255, 255, 192);
  window.type("DBSens1", "-47");
  window.click("CalcolaSens");
  window.type("MAXSPL", "130");
  window.type("SELFNOISE", "15");
  window.click("CalcGamma");
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("4.4668"));
  for (const char* name : {"MVSens1", "DBSens2"}) {
    QVERIFY(window.get(name)->autoFillBackground());
    QCOMPARE(window.get(name)->palette().color(QPalette::Window), cyan);
  }
  for (const char* name : {"LabGamma", "LabSN"}) {
    QVERIFY(window.get(name)->autoFillBackground());
    QCOMPARE(window.get(name)->palette().color(QPalette::Window), yellow);
  }
  // And the rendered pixels agree, inside the border.
  const QImage image = window.get("MVSens1")->grab().toImage();
  QCOMPARE(image.pixelColor(3, 3), cyan);
}

void Form1Test::resultFieldsCanBeSelectedButNotEdited() {
  Window window(".");
  window.type("MVSens2", "12");
  window.click("CalcolaSens2");
  auto* field = window.get<QLabel>("DBSens2");
  QCOMPARE(field->text(), QStringLiteral("-38.4164"));
  QCOMPARE(field->textInteractionFlags(), Qt::TextSelectableByMouse);
  QVERIFY(!(field->focusPolicy() & Qt::TabFocus));
  // Drag across the whole text, as a user selecting it to copy.
  QTest::mousePress(field, Qt::LeftButton, Qt::NoModifier, QPoint(1, field->height() / 2));
  QTest::mouseMove(field, QPoint(field->width() - 2, field->height() / 2));
  QTest::mouseRelease(field, Qt::LeftButton, Qt::NoModifier, QPoint(field->width() - 2, field->height() / 2));
  QCOMPARE(field->selectedText(), QStringLiteral("-38.4164"));
  QApplication::clipboard()->clear();
  QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("-38.4164"));
  QTest::keyClicks(field, "99");
  QCOMPARE(field->text(), QStringLiteral("-38.4164"));
}

void Form1Test::checkBoxSetByCodeRecomputesNothing() {
  Window window(".");
  window.type("DBSens1", "-47");
  window.click("CalcolaSens");
  window.get<QCheckBox>("Arrotonda")->setChecked(true);
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("4.4668"));
  // A grey check box asks for a whole number too.
  window.get<QCheckBox>("Arrotonda")->setCheckState(Qt::PartiallyChecked);
  window.click("CalcolaSens");
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("4"));
}

void Form1Test::failureIsToldAndTheProgramGoesOn_data() {
  // What each message says is the messages table's; here, that the window
  // tells it about the right field, and goes on.
  QTest::addColumn<QString>("separator");
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("result");
  QTest::addColumn<bool>("told");
  QTest::newRow("lone minus in dB") << "." << "DBSens1" << "-" << "CalcolaSens" << "MVSens1" << true;
  QTest::newRow("comma under a point") << "." << "MVSens2" << "7,5" << "CalcolaSens2" << "DBSens2" << true;
  QTest::newRow("empty field, button clicked") << "," << "DBSens1" << "" << "CalcolaSens" << "MVSens1" << true;
  QTest::newRow("letters in max SPL under a comma") << "," << "MAXSPL" << "abc" << "CalcGamma" << "LabGamma" << true;
  QTest::newRow("letters in the self-noise") << "." << "SELFNOISE" << "x" << "CalcGamma" << "LabGamma" << true;
  QTest::newRow("one blank under a comma") << "," << "DBSens1" << " " << "CalcolaSens" << "MVSens1" << true;
  // Pasted, the control characters reach the message as they were.
  QTest::newRow("line break pasted") << "." << "MVSens2" << "1\r\n2" << "CalcolaSens2" << "DBSens2" << true;
  QTest::newRow("positive exponent is refused, not a failure")
      << "." << "DBSens1" << "1e9" << "CalcolaSens" << "MVSens1" << false;
}

void Form1Test::failureIsToldAndTheProgramGoesOn() {
  QFETCH(QString, separator);
  QFETCH(QString, field);
  QFETCH(QString, text);
  QFETCH(QString, button);
  QFETCH(QString, result);
  QFETCH(bool, told);
  Window window(separator.toLatin1().constData());
  window.type("MVSens2", "10");
  window.click("CalcolaSens2");
  window.type("DBSens1", "-40");
  window.click("CalcolaSens");
  window.type("MAXSPL", "120");
  window.type("SELFNOISE", "15");
  if (text.isEmpty()) {
    window.type(qPrintable(field), text);
  } else {
    window.paste(qPrintable(field), text);
  }
  window.click(qPrintable(button));

  QMessageBox* box = window.message();
  if (!told) {
    QVERIFY(box == nullptr);
  } else {
    QVERIFY(box != nullptr);
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowTitle(), QStringLiteral("Velsona"));
    const std::string expected =
        velsona::ui::FailureMessage(velsona::calc::Failed{velsona::calc::FailureKind::TypeMismatch},
                                    field.toStdString(), text.toStdString(), {separator.toStdString()});
    QCOMPARE(box->text(), QString::fromStdString(expected));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(box->windowModality(), Qt::WindowModal);
  }
  // Sensitivity results were blanked first; the right panel's stay empty here.
  QCOMPARE(window.shown(qPrintable(result)), QString());
  window.dismissMessage();
  QVERIFY(window.message() == nullptr);
  QVERIFY(window.top()->isVisible());

  // The program goes on: the next calculation works.
  window.type("DBSens1", "-47");
  window.click("CalcolaSens");
  const std::string localised = velsona::tests::Localised("4.4668", separator.toStdString());
  QCOMPARE(window.shown("MVSens1"), QString::fromStdString(localised));
}

void Form1Test::regionalSeparatorComesFromTheLocale_data() {
  QTest::addColumn<QLocale>("locale");
  QTest::addColumn<QString>("separator");
  QTest::newRow("Italian") << QLocale(QLocale::Italian, QLocale::Italy) << ",";
  QTest::newRow("English, US") << QLocale(QLocale::English, QLocale::UnitedStates) << ".";
  QTest::newRow("German, Switzerland") << QLocale(QLocale::German, QLocale::Switzerland) << ".";
  QTest::newRow("C") << QLocale::c() << ".";
}

void Form1Test::regionalSeparatorComesFromTheLocale() {
  QFETCH(QLocale, locale);
  QFETCH(QString, separator);
  QCOMPARE(QString::fromStdString(velsona::platform::NumberFormatOf(locale).decimalSeparator), separator);
}

void Form1Test::hostileTextsNeverEndTheProgram_data() {
  // Put into the mV/Pa field by code, which keeps the first 4 characters.
  QTest::addColumn<QString>("separator");
  QTest::addColumn<QString>("pasted");
  QTest::addColumn<QString>("result");
  QTest::addColumn<bool>("told");
  const auto row = [](const char* name, const char* separator, const QString& pasted, const char* result,
                      bool told) { QTest::newRow(name) << separator << pasted << result << told; };
  for (const char* separator : kSeparators) {
    const bool comma = *separator == ',';
    QTest::addRow("empty '%s'", separator) << separator << QString() << "" << true;
    QTest::addRow("blanks only '%s'", separator) << separator << "   " << "" << true;
    QTest::addRow("lone minus '%s'", separator) << separator << "-" << "" << true;
    QTest::addRow("lone separator '%s'", separator) << separator << separator << "" << true;
    QTest::addRow("both separators '%s'", separator) << separator << ".," << "" << true;
    QTest::addRow("1e '%s'", separator) << separator << "1e" << "" << true;
    QTest::addRow("e5 '%s'", separator) << separator << "e5" << "" << true;
    // Cut to 1e99: refused as above 1000 mV/Pa, not a failure.
    QTest::addRow("1e99999 '%s'", separator) << separator << "1e99999" << "" << false;
    QTest::addRow("-1e-99999 '%s'", separator) << separator << "-1e-99999" << "" << true;
    QTest::addRow("inf '%s'", separator) << separator << "inf" << "" << true;
    QTest::addRow("nan '%s'", separator) << separator << "nan" << "" << true;
    QTest::addRow("0x10 '%s'", separator) << separator << "0x10" << "" << true;
    QTest::addRow("1,000 '%s'", separator) << separator << "1,000" << (comma ? "-60" : "") << !comma;
    QTest::addRow("1.000 '%s'", separator) << separator << "1.000" << "-60" << false;
    QTest::addRow("Arabic-Indic digits '%s'", separator)
        << separator << QString::fromUtf8("\xD9\xA1\xD9\xA2") << "" << true;
    QTest::addRow("emoji '%s'", separator) << separator << QString::fromUtf8("\xF0\x9F\x8E\xA4") << "" << true;
    QTest::addRow("10,000 characters '%s'", separator) << separator << QString(10000, '5') << "" << false;
    QTest::addRow("NUL '%s'", separator) << separator << QString(QChar(0)) << "" << true;
  }
  row("a number after all", ",", "12,5", "-38,0618", false);
}

void Form1Test::hostileTextsNeverEndTheProgram() {
  QFETCH(QString, separator);
  QFETCH(QString, pasted);
  QFETCH(QString, result);
  QFETCH(bool, told);
  Window window(separator.toLatin1().constData());
  window.type("MVSens2", "10");
  window.click("CalcolaSens2");
  window.type("MVSens2", "");
  window.get<QLineEdit>("MVSens2")->insert(pasted);
  window.click("CalcolaSens2");
  QCOMPARE(window.shown("DBSens2"), result);
  QCOMPARE(window.message() != nullptr, told);
  window.dismissMessage();
  QVERIFY(window.top()->isVisible());
}

void Form1Test::accessibleNamesAreItalian_data() {
  QTest::addColumn<QString>("control");
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("described");
  const auto row = [](const char* control, const QString& name, bool described) {
    QTest::newRow(control) << control << name << described;
  };
  row("DBSens1", QStringLiteral("Sensibilità in dB (rif. 1V/Pa)"), true);
  row("MVSens2", QStringLiteral("Sensibilità in mV/Pa"), true);
  row("MAXSPL", QStringLiteral("dB Max SPL (pressione sonora massima)"), true);
  row("SELFNOISE", QStringLiteral("dB Self-Noise (rumore proprio)"), true);
  row("MVSens1", QStringLiteral("Risultato in mV/Pa"), true);
  row("DBSens2", QStringLiteral("Risultato in dB (rif. 1V/Pa)"), true);
  row("LabGamma", QStringLiteral("Gamma dinamica in dB"), true);
  row("LabSN", QStringLiteral("Rapporto S/N rif. 94 dB SPL"), true);
  // Three buttons all say "Calcola": the name tells them apart.
  row("CalcolaSens", QStringLiteral("Calcola mV/Pa"), true);
  row("CalcolaSens2", QStringLiteral("Calcola dB"), true);
  row("CalcGamma", QStringLiteral("Calcola gamma dinamica"), true);
  row("Arrotonda", QStringLiteral("arrotonda mV/Pa"), true);
  row("Arrotonda2", QStringLiteral("arrotonda dB"), true);
}

void Form1Test::accessibleNamesAreItalian() {
  QFETCH(QString, control);
  QFETCH(QString, name);
  QFETCH(bool, described);
  Window window(",");
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window.get(qPrintable(control)));
  QVERIFY(accessible != nullptr);
  QCOMPARE(accessible->text(QAccessible::Name), name);
  QCOMPARE(!accessible->text(QAccessible::Description).isEmpty(), described);
}

void Form1Test::newResultIsAnnounced() {
  // A screen reader reads a result field by its accessible name, which
  // carries the new text after what the field is; setting it is what sends
  // the name-changed event to an active assistive technology.
  Window window(",");
  const auto name = [&](const char* control) {
    return QAccessible::queryAccessibleInterface(window.get(control))->text(QAccessible::Name);
  };
  window.type("DBSens1", "-47");
  window.click("CalcolaSens");
  window.type("MAXSPL", "130");
  window.type("SELFNOISE", "7,5");
  window.click("CalcGamma");
  QCOMPARE(name("MVSens1"), QStringLiteral("Risultato in mV/Pa: 4,4668"));
  QCOMPARE(name("LabGamma"), QStringLiteral("Gamma dinamica in dB: 122,5"));
  QCOMPARE(name("LabSN"), QStringLiteral("Rapporto S/N rif. 94 dB SPL: 86,5"));
  // Blanked again by a refused input: back to the bare name.
  window.type("DBSens1", "5");
  window.click("CalcolaSens");
  QCOMPARE(name("MVSens1"), QStringLiteral("Risultato in mV/Pa"));
}

void Form1Test::noControlsOverlapAndAllSitInTheirFrame() {
  Window window(".");
  const QList<QGroupBox*> frames = window.top()->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
  QCOMPARE(frames.size(), 2);
  QVERIFY(!frames[0]->geometry().intersects(frames[1]->geometry()));
  for (QGroupBox* frame : frames) {
    QVERIFY(window.top()->rect().contains(frame->geometry()));
    const QList<QWidget*> controls = frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QVERIFY(controls.size() >= 10);
    for (int i = 0; i < controls.size(); ++i) {
      QVERIFY2(frame->rect().contains(controls[i]->geometry()), qPrintable(controls[i]->objectName()));
      for (int j = i + 1; j < controls.size(); ++j) {
        QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                 qPrintable(controls[i]->objectName() + " / " + controls[j]->objectName()));
      }
    }
  }
}

void Form1Test::windowScalesEvenlyWithTheScreen() {
  // Run once as it is and once with QT_SCALE_FACTOR=2: sizes stay in
  // logical pixels, and every pixel of them becomes ratio x ratio.
  Window window(".");
  const double ratio = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                           ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                           : 1.0;
  QCOMPARE(window.top()->devicePixelRatioF(), ratio);
  QCOMPARE(window.top()->size(), QSize(541, 353));
  const QPixmap pixmap = window.top()->grab();
  QCOMPARE(pixmap.size(), QSize(qRound(541 * ratio), qRound(353 * ratio)));
  const QLabel* title = window.get<QLabel>("Label2");
  QCOMPARE(QFontInfo(title->font()).pixelSize(), qRound(13.5 * 96 / 72));
}

void Form1Test::resultsAreReadableUnderLightAndDarkThemes_data() {
  QTest::addColumn<QPalette>("palette");
  QTest::newRow("light theme") << QApplication::style()->standardPalette();
  QTest::newRow("dark theme") << DarkPalette();
}

void Form1Test::resultsAreReadableUnderLightAndDarkThemes() {
  // Measured on the rendered pixels: the starkest pixel of the text, and
  // the border, against the field's background.
  QFETCH(QPalette, palette);
  const velsona::tests::ScopedPalette theme(palette);
  {
    Window window(",");
    window.type("DBSens1", "-47");
    window.click("CalcolaSens");
    window.type("MVSens2", "12");
    window.click("CalcolaSens2");
    window.type("MAXSPL", "130");
    window.type("SELFNOISE", "7,5");
    window.click("CalcGamma");
    for (const char* name : {"MVSens1", "DBSens2", "LabGamma", "LabSN"}) {
      QLabel* field = window.get<QLabel>(name);
      QVERIFY(!field->text().isEmpty());
      const QImage image = field->grab().toImage();
      const int scale = qRound(field->devicePixelRatioF());
      const QColor background = image.pixelColor(3 * scale, 3 * scale);
      QCOMPARE(background, field->palette().color(QPalette::Window));
      const double text = StarkestContrast(
          image, QRect(2 * scale, 2 * scale, image.width() - 4 * scale, image.height() - 4 * scale), background);
      const double border = StarkestContrast(image, QRect(0, image.height() / 2, 1, 1), background);
      qInfo("%s: text %.2f:1, border %.2f:1", name, text, border);
      QVERIFY2(text >= 7.0, qPrintable(QStringLiteral("%1 text %2:1").arg(name).arg(text)));
      QVERIFY2(border >= 7.0, qPrintable(QStringLiteral("%1 border %2:1").arg(name).arg(border)));
    }
    // The rest of the window keeps the theme's colours.
    QCOMPARE(window.get("Label4")->palette().color(QPalette::WindowText), palette.color(QPalette::WindowText));
    QCOMPARE(window.top()->palette().color(QPalette::Window), palette.color(QPalette::Window));
  }
}

void Form1Test::windowIsAFrameNamedByItsTitle() {
  Window window(".");
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window.top());
  QVERIFY(accessible != nullptr);
  QCOMPARE(accessible->role(), QAccessible::Window);
  QCOMPARE(accessible->text(QAccessible::Name), window.top()->windowTitle());
  // Its message boxes stay what they are.
  window.type("DBSens1", "-");
  window.click("CalcolaSens");
  QVERIFY(window.message() != nullptr);
  QCOMPARE(QAccessible::queryAccessibleInterface(window.message())->role(), QAccessible::AlertMessage);
  window.dismissMessage();
}

void Form1Test::doubleClickSelectsTheWholeResult_data() {
  QTest::addColumn<QString>("input");
  QTest::addColumn<QString>("result");
  QTest::addColumn<QString>("shown");
  QTest::addColumn<double>("where");  // across the field, 0 to 1
  const auto row = [](const char* name, const char* input, const char* result, const char* shown, double where) {
    QTest::newRow(name) << input << result << shown << where;
  };
  row("decimals of a mV/Pa result", "DBSens1=-47", "MVSens1", "4.4668", 0.6);
  row("whole part of a mV/Pa result", "DBSens1=-47", "MVSens1", "4.4668", 0.45);
  row("decimals of a negative dB result", "MVSens2=12", "DBSens2", "-38.4164", 0.65);
  row("digits after the minus", "MVSens2=100", "DBSens2", "-20", 0.55);
  row("the minus itself", "MVSens2=100", "DBSens2", "-20", 0.44);
  row("an exponent", "MAXSPL=1e9", "LabGamma", "1E+09", 0.6);
}

void Form1Test::doubleClickSelectsTheWholeResult() {
  QFETCH(QString, input);
  QFETCH(QString, result);
  QFETCH(QString, shown);
  QFETCH(double, where);
  Window window(".");
  const QString field = input.section('=', 0, 0);
  window.type(qPrintable(field), input.section('=', 1));
  window.type("SELFNOISE", "0");
  window.click(field == "DBSens1" ? "CalcolaSens" : field == "MVSens2" ? "CalcolaSens2" : "CalcGamma");
  auto* label = window.get<QLabel>(qPrintable(result));
  QCOMPARE(label->text(), shown);
  QTest::mouseDClick(label, Qt::LeftButton, Qt::NoModifier,
                     QPoint(qRound(label->width() * where), label->height() / 2));
  QCOMPARE(label->selectedText(), shown);
  QApplication::clipboard()->clear();
  QTest::keyClick(label, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QApplication::clipboard()->text(), shown);
  // Still no Tab stop.
  QVERIFY(!(label->focusPolicy() & Qt::TabFocus));
}

void Form1Test::resultMenuCopiesAndSelectsInItalian() {
  Window window(".");
  auto* field = window.get<QLabel>("DBSens2");
  QMenu* menu = window.rightClick(field);
  QVERIFY(menu != nullptr);
  QCOMPARE(ItemTexts(menu), (QStringList{"Copia", "Seleziona tutto"}));
  for (QAction* action : menu->actions()) QVERIFY2(!action->isEnabled(), "nothing to copy in a blank field");
  menu->close();

  window.type("MVSens2", "12");
  window.click("CalcolaSens2");
  menu = window.rightClick(field);
  QVERIFY(menu != nullptr);
  menu->actions().at(1)->trigger();
  QCOMPARE(field->selectedText(), QStringLiteral("-38.4164"));
  menu->close();

  menu = window.rightClick(field);
  QApplication::clipboard()->clear();
  menu->actions().at(0)->trigger();
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("-38.4164"));
  menu->close();
}

void Form1Test::menuPasteAndDropFollowThePasteRule_data() {
  // The keys' paste is the window scenarios'; here the menu's "Incolla" and a drop.
  QTest::addColumn<bool>("drop");
  QTest::addColumn<QString>("pasted");
  QTest::addColumn<QString>("after");
  QTest::addColumn<bool>("told");
  for (const bool drop : {false, true}) {
    const char* way = drop ? "dropped" : "from the menu";
    QTest::addRow("a cell %s", way) << drop << "\t-47\r\n" << "-47" << false;
    QTest::addRow("too long %s", way) << drop << "-47,5" << "-40" << true;
  }
}

void Form1Test::menuPasteAndDropFollowThePasteRule() {
  QFETCH(bool, drop);
  QFETCH(QString, pasted);
  QFETCH(QString, after);
  QFETCH(bool, told);
  Window window(".");
  window.type("DBSens1", "-40");
  auto* edit = window.get<QLineEdit>("DBSens1");
  if (drop) {
    // Dropped into the field: an empty one where it fits, beside "-40" where it does not.
    if (!told) edit->clear();
    QMimeData data;
    data.setText(pasted);
    const QPoint at = edit->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    QDropEvent event(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &event);
  } else {
    edit->selectAll();
    QApplication::clipboard()->setText(pasted);
    QMenu* menu = window.rightClick(edit);
    QVERIFY(menu != nullptr);
    for (QAction* action : menu->actions()) {
      if (action->text().remove('&').startsWith(QStringLiteral("Incolla"))) action->trigger();
    }
    menu->close();
  }
  QCOMPARE(edit->text(), after);
  QCOMPARE(window.message() != nullptr, told);
  window.dismissMessage();
}

void Form1Test::qtOwnTextsAreItalianWhateverTheLocale_data() {
  QTest::addColumn<QLocale>("locale");
  QTest::newRow("English, US") << QLocale(QLocale::English, QLocale::UnitedStates);
  QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
  QTest::newRow("Italian") << QLocale(QLocale::Italian, QLocale::Italy);
  QTest::newRow("C") << QLocale::c();
}

void Form1Test::qtOwnTextsAreItalianWhateverTheLocale() {
  QFETCH(QLocale, locale);
  const QLocale before;
  QLocale::setDefault(locale);
  Window window(".");
  QLineEdit* edit = window.get<QLineEdit>("MVSens2");
  window.type("MVSens2", "12");
  QMenu* menu = window.rightClick(edit);
  QLocale::setDefault(before);
  QVERIFY(menu != nullptr);
  QCOMPARE(ItemTexts(menu),
           (QStringList{"Annulla", "Rifai", "Taglia", "Copia", "Incolla", "Elimina", "Seleziona tutto"}));
  menu->close();
}

void Form1Test::widestResultsShowWhole_data() {
  // Every input of up to 3 characters (4 for mV/Pa) made of digits, signs,
  // separators, exponent letters and blanks, through each calculation; the
  // texts widest in the fields' font are then produced through the window.
  using namespace velsona::calc;
  const NumberFormat point{"."};
  Outcomes outcomes[4];  // MVSens1, DBSens2, LabGamma, LabSN
  for (const std::string& text : velsona::calc::TextsUpTo(3)) {
    for (const bool whole : {false, true}) {
      Record(outcomes[0], SensDBtoMV(text, whole, point), 0,
             QString::fromStdString("DBSens1=" + text + (whole ? "=whole" : "")));
    }
  }
  for (const std::string& text : velsona::calc::TextsUpTo(4)) {
    for (const bool whole : {false, true}) {
      Record(outcomes[1], SensMVtoDB(text, whole, point), 0,
             QString::fromStdString("MVSens2=" + text + (whole ? "=whole" : "")));
    }
  }
  // The range depends on the two values read as Single only, the ratio on the self-noise alone.
  std::map<float, std::string> singles;
  for (const std::string& text : velsona::calc::TextsUpTo(3)) {
    const Checked<float> value = TextToSingle(text, point);
    if (value.ok() && TextToDouble(text, point).ok()) singles.emplace(value.value(), text);
    Record(outcomes[3], GammaSN("0", text, point), 1, QString::fromStdString("GAMMA=0=" + text));
  }
  for (const auto& [maxValue, maxText] : singles) {
    for (const auto& [noiseValue, noiseText] : singles) {
      Record(outcomes[2], GammaSN(maxText, noiseText, point), 0,
             QString::fromStdString("GAMMA=" + maxText + "=" + noiseText));
    }
  }

  QTest::addColumn<QString>("inputs");
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("expected");
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPointSizeF(12);
  font.setBold(true);
  const QFontMetricsF metrics(font);
  // The case users met first, whatever the ties among equally wide texts.
  QTest::newRow("LabGamma -7.999999E+09 from 1e9 and 9e9") << "GAMMA=1e9=9e9" << "LabGamma" << "-7.999999E+09";
  const char* const fields[] = {"MVSens1", "DBSens2", "LabGamma", "LabSN"};
  for (int f = 0; f < 4; ++f) {
    QVERIFY(outcomes[f].size() > 10);
    std::vector<std::pair<qreal, QString>> widths;
    for (const auto& [text, inputs] : outcomes[f]) widths.emplace_back(metrics.horizontalAdvance(text), text);
    std::sort(widths.rbegin(), widths.rend());
    for (std::size_t i = 0; i < 3 && i < widths.size(); ++i) {
      const QString& text = widths[i].second;
      QTest::addRow("%s %s", fields[f], qPrintable(text)) << outcomes[f][text].front() << fields[f] << text;
    }
  }
}

void Form1Test::widestResultsShowWhole() {
  QFETCH(QString, inputs);
  QFETCH(QString, field);
  QFETCH(QString, expected);
  Window window(".");
  const QStringList parts = inputs.split('=');
  if (parts[0] == "GAMMA") {
    window.type("MAXSPL", parts[1]);
    window.type("SELFNOISE", parts[2]);
    window.click("CalcGamma");
  } else {
    const bool fromDb = parts[0] == "DBSens1";
    window.type(qPrintable(parts[0]), parts[1]);
    if (parts.size() > 2) window.click(fromDb ? "Arrotonda" : "Arrotonda2");
    window.click(fromDb ? "CalcolaSens" : "CalcolaSens2");
  }
  auto* label = window.get<QLabel>(qPrintable(field));
  QCOMPARE(label->text(), expected);
  const qreal needed = QFontMetricsF(label->font()).horizontalAdvance(expected);
  QVERIFY2(needed <= label->contentsRect().width(),
           qPrintable(QStringLiteral("%1 needs %2 of %3 pixels").arg(expected).arg(needed).arg(label->contentsRect().width())));
  QVERIFY(label->font().pointSizeF() >= 6.0);
  // No glyph reaches the border: the columns just inside it are background.
  const QImage image = label->grab().toImage();
  const int scale = qRound(label->devicePixelRatioF());
  const QColor background = label->palette().color(QPalette::Window);
  for (const int x : {scale, image.width() - 1 - scale}) {
    for (int y = scale; y < image.height() - scale; ++y) {
      QVERIFY2(image.pixelColor(x, y) == background, qPrintable(QStringLiteral("ink at column %1").arg(x)));
    }
  }
  // The tooltip adds the full number below the description where it is drawn smaller (the table's 12 pt).
  QCOMPARE(label->toolTip().endsWith(QStringLiteral("\n") + expected), label->font().pointSizeF() < 12);
  QVERIFY(label->accessibleName().endsWith(QStringLiteral(": ") + expected));
  // A narrower result later gets the table's font back.
  window.type("MAXSPL", "1");
  window.type("SELFNOISE", "1");
  window.type("DBSens1", "-40");
  window.type("MVSens2", "10");
  window.click("CalcGamma");
  window.click("CalcolaSens");
  window.click("CalcolaSens2");
  QCOMPARE(label->font().pointSizeF(), 12.0);
}

void Form1Test::enterVariantsOnAFocusedButton_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<QString>("result");
  QTest::addColumn<QString>("expected");
  // Enter on a focused button, Space, and Enter in a field are window
  // scenarios played on both windows; here the keys only Qt tells apart.
  QTest::newRow("keypad Enter on mV/Pa to dB")
      << "CalcolaSens2" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "DBSens2" << "-38.4164";
  QTest::newRow("Ctrl+Enter on a button does nothing")
      << "CalcolaSens" << int(Qt::Key_Return) << int(Qt::ControlModifier) << "MVSens1" << "";
}

void Form1Test::enterVariantsOnAFocusedButton() {
  QFETCH(QString, button);
  QFETCH(int, key);
  QFETCH(int, modifiers);
  QFETCH(QString, result);
  QFETCH(QString, expected);
  Window window(".");
  window.type("DBSens1", "-47");
  window.type("MVSens2", "12");
  window.type("MAXSPL", "130");
  window.type("SELFNOISE", "15");
  // Tab to it, as a user does.
  QWidget* target = window.get(qPrintable(button));
  window.get("DBSens1")->setFocus();
  for (int i = 0; i < 10 && QApplication::focusWidget() != target; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  QCOMPARE(QApplication::focusWidget(), target);
  QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
  QCOMPARE(window.shown(qPrintable(result)), expected);
}

// The program's own application object, so that the tests meet Qt as it
// is set up for users (its translations among it).
int main(int argc, char** argv) {
  velsona::platform::Application application(argc, argv);
  QCoreApplication::setAttribute(Qt::AA_Use96Dpi, true);
  Form1Test test;
  QTEST_SET_MAIN_SOURCE_PATH
  return QTest::qExec(&test, argc, argv);
}

#include "form1_test.moc"
