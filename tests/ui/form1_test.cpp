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
#include <QtTest>
#include <memory>

#include "platform/window/qt/regional_qt.h"
#include "ui/form1.h"

using velsona::platform::NumberFormat;
using velsona::ui::Form1;

namespace {

// The window as a user meets it: shown, active, driven with keys and clicks.
class Window {
 public:
  explicit Window(const char* separator) : form_([format = NumberFormat{separator}] { return format; }) {
    form_.Show();
    QApplication::setActiveWindow(top());
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

QString Localised(QString text, const char* separator) { return text.replace('.', QLatin1String(separator)); }

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void controlsArePlacedAsTheTableSays_data();
  void controlsArePlacedAsTheTableSays();
  void noCaptionIsCutOff();
  void windowHasFixedSizeTitleAndIcon();
  void resultFieldsKeepTheirColours();
  void startsEmptyClearAndFocusedOnTheFirstField();
  void tabVisitsTheNineStopsInOrder();
  void resultFieldsCanBeSelectedButNotEdited();
  void inputLimits_data();
  void inputLimits();
  void sensitivityWorkedResults_data();
  void sensitivityWorkedResults();
  void gammaWorkedResults_data();
  void gammaWorkedResults();
  void arrotondaRecomputesWithoutAClick();
  void arrotondaWithEmptyInputLeavesTheOldResult();
  void checkBoxSetByCodeRecomputesNothing();
  void refusedInputBlanksTheResult();
  void gammaKeepsResultsWhenSkippedOrFailing();
  void editingAnInputChangesNothingUntilTheClick();
  void eachButtonActsOnItsOwnBlock();
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
  QCOMPARE(top->windowIcon().availableSizes().value(0), QSize(32, 32));
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

void Form1Test::startsEmptyClearAndFocusedOnTheFirstField() {
  Window window(".");
  for (const char* name : {"DBSens1", "MVSens2", "MAXSPL", "SELFNOISE"}) QVERIFY(window.get<QLineEdit>(name)->text().isEmpty());
  for (const char* name : {"MVSens1", "DBSens2", "LabGamma", "LabSN"}) QVERIFY(window.shown(name).isEmpty());
  for (const char* name : {"Arrotonda", "Arrotonda2"}) QCOMPARE(window.get<QCheckBox>(name)->checkState(), Qt::Unchecked);
  QCOMPARE(QApplication::focusWidget(), window.get("DBSens1"));
}

void Form1Test::tabVisitsTheNineStopsInOrder() {
  Window window(".");
  const QStringList expected = {"DBSens1",    "MVSens2",  "MAXSPL",       "SELFNOISE",   "Arrotonda2",
                                "Arrotonda",  "CalcolaSens2", "CalcolaSens", "CalcGamma", "DBSens1"};
  QStringList visited = {QApplication::focusWidget()->objectName()};
  for (int i = 1; i < expected.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited << QApplication::focusWidget()->objectName();
  }
  QCOMPARE(visited, expected);
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

void Form1Test::inputLimits_data() {
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("kept");
  QTest::newRow("DBSens1 keeps three") << "DBSens1" << "-40.5" << "-40";
  QTest::newRow("MAXSPL keeps three") << "MAXSPL" << "1300" << "130";
  QTest::newRow("SELFNOISE keeps three") << "SELFNOISE" << "7.55" << "7.5";
  QTest::newRow("MVSens2 keeps four") << "MVSens2" << "10001" << "1000";
  QTest::newRow("any character fits the limit") << "DBSens1" << "a b" << "a b";
}

void Form1Test::inputLimits() {
  QFETCH(QString, field);
  QFETCH(QString, typed);
  QFETCH(QString, kept);
  Window window(".");
  window.type(field.toLatin1().constData(), typed);
  QCOMPARE(window.get<QLineEdit>(field.toLatin1().constData())->text(), kept);
}

void Form1Test::sensitivityWorkedResults_data() {
  QTest::addColumn<QString>("separator");
  QTest::addColumn<QString>("input");
  QTest::addColumn<bool>("whole");
  QTest::addColumn<QString>("expected");
  struct Row {
    const char* field;
    const char* text;
    const char* plain;
    const char* whole;
  };
  const Row rows[] = {
      {"DBSens1", "-40", "10", "10"},         {"DBSens1", "-47", "4.4668", "4"},
      {"DBSens1", "-34", "19.9526", "19"},    {"DBSens1", "-6", "501.1872", "501"},
      {"DBSens1", "-1", "891.2509", "891"},   {"DBSens1", "-99", "0.0112", "0"},
      {"DBSens1", "0", "1000", "1000"},       {"DBSens1", "5", "", ""},
      {"MVSens2", "10", "-40", "-40"},        {"MVSens2", "12", "-38.4164", "-38"},
      {"MVSens2", "25", "-32.0412", "-32"},   {"MVSens2", "50", "-26.0206", "-26"},
      {"MVSens2", "0.1", "-80", "-80"},       {"MVSens2", "1000", "0", "0"},
      {"MVSens2", "1e-9", "-240", "-240"},    {"MVSens2", "1001", "", ""},
      {"MVSens2", "0", "", ""},               {"MVSens2", "-5", "", ""},
  };
  for (const char* separator : kSeparators) {
    for (const Row& row : rows) {
      for (const bool whole : {false, true}) {
        const QString input = Localised(row.text, separator);
        QTest::addRow("%s %s%s with '%s'", row.field, qPrintable(input), whole ? " whole" : "", separator)
            << separator << QString::fromLatin1(row.field) + "=" + input << whole
            << Localised(whole ? row.whole : row.plain, separator);
      }
    }
  }
}

void Form1Test::sensitivityWorkedResults() {
  QFETCH(QString, separator);
  QFETCH(QString, input);
  QFETCH(bool, whole);
  QFETCH(QString, expected);
  Window window(separator.toLatin1().constData());
  const QString field = input.section('=', 0, 0);
  const bool fromDb = field == QStringLiteral("DBSens1");
  window.type(qPrintable(field), input.section('=', 1));
  if (whole) window.click(fromDb ? "Arrotonda" : "Arrotonda2");  // already recomputes
  window.click(fromDb ? "CalcolaSens" : "CalcolaSens2");
  QCOMPARE(window.shown(fromDb ? "MVSens1" : "DBSens2"), expected);
  QVERIFY(window.message() == nullptr);
}

void Form1Test::gammaWorkedResults_data() {
  QTest::addColumn<QString>("separator");
  QTest::addColumn<QString>("maxSpl");
  QTest::addColumn<QString>("selfNoise");
  QTest::addColumn<QString>("range");
  QTest::addColumn<QString>("signalToNoise");
  struct Row {
    const char* maxSpl;
    const char* selfNoise;
    const char* range;
    const char* signalToNoise;
  };
  const Row rows[] = {{"130", "15", "115", "79"},      {"120", "7.5", "112.5", "86.5"},
                      {"130", "0.1", "129.9", "93.9"}, {"100", "120", "-20", "-26"},
                      {"130", "94", "36", "0"},        {"130", "95", "35", "-1"}};
  for (const char* separator : kSeparators) {
    for (const Row& row : rows) {
      QTest::addRow("%s - %s with '%s'", row.maxSpl, row.selfNoise, separator)
          << separator << Localised(row.maxSpl, separator) << Localised(row.selfNoise, separator)
          << Localised(row.range, separator) << Localised(row.signalToNoise, separator);
    }
  }
}

void Form1Test::gammaWorkedResults() {
  QFETCH(QString, separator);
  QFETCH(QString, maxSpl);
  QFETCH(QString, selfNoise);
  QFETCH(QString, range);
  QFETCH(QString, signalToNoise);
  Window window(separator.toLatin1().constData());
  window.type("MAXSPL", maxSpl);
  window.type("SELFNOISE", selfNoise);
  window.click("CalcGamma");
  QCOMPARE(window.shown("LabGamma"), range);
  QCOMPARE(window.shown("LabSN"), signalToNoise);
}

void Form1Test::arrotondaRecomputesWithoutAClick() {
  Window window(".");
  window.type("DBSens1", "-47");
  window.click("CalcolaSens");
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("4.4668"));
  window.click("Arrotonda");
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("4"));
  window.click("Arrotonda");
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("4.4668"));
  // Space on the focused check box is a click too.
  window.get("Arrotonda")->setFocus();
  QTest::keyClick(window.get("Arrotonda"), Qt::Key_Space);
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("4"));

  window.type("MVSens2", "12");
  window.click("Arrotonda2");
  QCOMPARE(window.shown("DBSens2"), QStringLiteral("-38"));
}

void Form1Test::arrotondaWithEmptyInputLeavesTheOldResult() {
  Window window(".");
  window.type("DBSens1", "-47");
  window.click("CalcolaSens");
  window.type("DBSens1", "");
  window.click("Arrotonda");
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("4.4668"));
  QVERIFY(window.message() == nullptr);

  window.type("MVSens2", "25");
  window.click("CalcolaSens2");
  window.type("MVSens2", "");
  window.click("Arrotonda2");
  QCOMPARE(window.shown("DBSens2"), QStringLiteral("-32.0412"));
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

void Form1Test::refusedInputBlanksTheResult() {
  Window window(".");
  window.type("DBSens1", "-47");
  window.click("CalcolaSens");
  window.type("DBSens1", "5");
  window.click("CalcolaSens");
  QCOMPARE(window.shown("MVSens1"), QString());
  QVERIFY(window.message() == nullptr);

  window.type("MVSens2", "1000");
  window.click("CalcolaSens2");
  QCOMPARE(window.shown("DBSens2"), QStringLiteral("0"));
  window.type("MVSens2", "1001");
  window.click("CalcolaSens2");
  QCOMPARE(window.shown("DBSens2"), QString());
}

void Form1Test::gammaKeepsResultsWhenSkippedOrFailing() {
  Window window(".");
  window.type("MAXSPL", "130");
  window.type("SELFNOISE", "15");
  window.click("CalcGamma");
  window.type("SELFNOISE", "");
  window.click("CalcGamma");
  QCOMPARE(window.shown("LabGamma"), QStringLiteral("115"));
  QCOMPARE(window.shown("LabSN"), QStringLiteral("79"));
  QVERIFY(window.message() == nullptr);

  window.type("SELFNOISE", "-");
  window.click("CalcGamma");
  QVERIFY(window.message() != nullptr);
  window.dismissMessage();
  QCOMPARE(window.shown("LabGamma"), QStringLiteral("115"));
  QCOMPARE(window.shown("LabSN"), QStringLiteral("79"));
}

void Form1Test::editingAnInputChangesNothingUntilTheClick() {
  Window window(".");
  window.type("DBSens1", "-40");
  window.click("CalcolaSens");
  window.type("DBSens1", "-47");
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("10"));
  window.click("CalcolaSens");
  QCOMPARE(window.shown("MVSens1"), QStringLiteral("4.4668"));
}

void Form1Test::eachButtonActsOnItsOwnBlock() {
  Window window(".");
  window.type("DBSens1", "-40");
  window.type("MVSens2", "12");
  window.type("MAXSPL", "130");
  window.type("SELFNOISE", "15");
  const auto results = [&] {
    return QStringList{window.shown("MVSens1"), window.shown("DBSens2"), window.shown("LabGamma"),
                       window.shown("LabSN")};
  };
  window.click("CalcolaSens");
  QCOMPARE(results(), (QStringList{"10", "", "", ""}));
  window.click("CalcolaSens2");
  QCOMPARE(results(), (QStringList{"10", "-38.4164", "", ""}));
  window.click("CalcGamma");
  QCOMPARE(results(), (QStringList{"10", "-38.4164", "115", "79"}));
  window.type("DBSens1", "-47");
  window.type("MVSens2", "25");
  window.click("CalcolaSens");
  QCOMPARE(results(), (QStringList{"4.4668", "-38.4164", "115", "79"}));
}

void Form1Test::failureIsToldAndTheProgramGoesOn_data() {
  QTest::addColumn<QString>("separator");
  QTest::addColumn<QString>("field");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("result");
  QTest::addColumn<QString>("message");
  QTest::newRow("lone minus in dB") << "." << "DBSens1" << "-" << "CalcolaSens" << "MVSens1"
                                    << QStringLiteral("\"-\" (Sensibilità in dB) non è un numero: usare il punto "
                                                      "come separatore decimale.");
  QTest::newRow("comma under a point") << "." << "MVSens2" << "7,5" << "CalcolaSens2" << "DBSens2"
                                       << QStringLiteral("\"7,5\" (Sensibilità in mV/Pa) non è un numero: usare "
                                                         "il punto come separatore decimale.");
  QTest::newRow("empty field, button clicked") << "," << "DBSens1" << "" << "CalcolaSens" << "MVSens1"
                                               << QStringLiteral("Il campo \"Sensibilità in dB\" è vuoto: "
                                                                 "scrivere un numero.");
  QTest::newRow("letters in max SPL under a comma")
      << "," << "MAXSPL" << "abc" << "CalcGamma" << "LabGamma"
      << QStringLiteral("\"abc\" (dB Max SPL) non è un numero: usare la virgola come separatore decimale.");
  QTest::newRow("positive exponent is refused, not a failure")
      << "." << "DBSens1" << "1e9" << "CalcolaSens" << "MVSens1" << QString();
}

void Form1Test::failureIsToldAndTheProgramGoesOn() {
  QFETCH(QString, separator);
  QFETCH(QString, field);
  QFETCH(QString, text);
  QFETCH(QString, button);
  QFETCH(QString, result);
  QFETCH(QString, message);
  Window window(separator.toLatin1().constData());
  window.type("MVSens2", "10");
  window.click("CalcolaSens2");
  window.type("DBSens1", "-40");
  window.click("CalcolaSens");
  window.type("SELFNOISE", "15");
  window.type(qPrintable(field), text);
  window.click(qPrintable(button));

  QMessageBox* box = window.message();
  if (message.isEmpty()) {
    QVERIFY(box == nullptr);
  } else {
    QVERIFY(box != nullptr);
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowTitle(), QStringLiteral("Velsona"));
    QCOMPARE(box->text(), message);
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
  QCOMPARE(window.shown("MVSens1"), Localised("4.4668", separator.toLatin1().constData()));
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
  // Pasted into the mV/Pa field, which keeps the first 4 characters.
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
  row("DBSens1", QStringLiteral("Sensibilità in dB, rif. 1 V/Pa"), true);
  row("MVSens2", QStringLiteral("Sensibilità in mV/Pa"), true);
  row("MAXSPL", QStringLiteral("Pressione sonora massima in dB SPL"), true);
  row("SELFNOISE", QStringLiteral("Rumore proprio in dB SPL"), true);
  row("MVSens1", QStringLiteral("Risultato in mV/Pa"), true);
  row("DBSens2", QStringLiteral("Risultato in dB, rif. 1 V/Pa"), true);
  row("LabGamma", QStringLiteral("Gamma dinamica in dB"), true);
  row("LabSN", QStringLiteral("Rapporto segnale/rumore rif. 94 dB SPL"), true);
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
  QCOMPARE(name("LabSN"), QStringLiteral("Rapporto segnale/rumore rif. 94 dB SPL: 86,5"));
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

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
