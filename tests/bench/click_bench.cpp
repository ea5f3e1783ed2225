// Click to result: Form1 on the offscreen platform, each button (and a check
// box) clicked as a user would, timed until its result field holds the new
// text; then the same with the repaint that follows.

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <memory>

#include "ui/form1.h"

namespace {

std::unique_ptr<velsona::ui::Form1> g_form;

template <typename T>
T* Get(const char* name) {
  return static_cast<QWidget*>(g_form->NativeWindow())->findChild<T*>(QString::fromLatin1(name));
}

void Click(const char* name) {
  auto* button = Get<QAbstractButton>(name);
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

struct Case {
  QString input;
  QString result;
};

// Clicks `button` with `input` holding one of two texts in turn, and checks
// that `result` then shows what that text gives.
void ClickUntilResult(benchmark::State& state, const char* input, const Case (&cases)[2], const char* button,
                      const char* result) {
  QLineEdit* edit = Get<QLineEdit>(input);
  QLabel* label = Get<QLabel>(result);
  const bool repaint = state.range(0) != 0;
  int turn = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const Case& now = cases[turn];
    turn ^= 1;
    edit->setText(now.input);
    state.ResumeTiming();
    Click(button);
    if (repaint) QCoreApplication::processEvents();
    state.PauseTiming();
    const bool shown = label->text() == now.result;
    state.ResumeTiming();
    if (!shown) {
      state.SkipWithError(qPrintable(QStringLiteral("%1 shows '%2'").arg(result, label->text())));
      break;
    }
  }
}

const Case kDb[2] = {{"-47", "4.4668"}, {"-34", "19.9526"}};
const Case kMv[2] = {{"12", "-38.4164"}, {"25", "-32.0412"}};
const Case kNoise[2] = {{"15", "115"}, {"7.5", "122.5"}};

void BM_ClickCalcolaSens(benchmark::State& state) { ClickUntilResult(state, "DBSens1", kDb, "CalcolaSens", "MVSens1"); }
void BM_ClickCalcolaSens2(benchmark::State& state) {
  ClickUntilResult(state, "MVSens2", kMv, "CalcolaSens2", "DBSens2");
}
void BM_ClickCalcGamma(benchmark::State& state) {
  Get<QLineEdit>("MAXSPL")->setText("130");
  ClickUntilResult(state, "SELFNOISE", kNoise, "CalcGamma", "LabGamma");
}
// The check box ticks and clears in turn: 4, then 4.4668.
void BM_ClickArrotonda(benchmark::State& state) {
  Get<QLineEdit>("DBSens1")->setText("-47");
  auto* check = Get<QAbstractButton>("Arrotonda");
  QLabel* label = Get<QLabel>("MVSens1");
  for (auto _ : state) {
    Click("Arrotonda");
    if (state.range(0) != 0) QCoreApplication::processEvents();
    state.PauseTiming();
    const bool shown = label->text() == (check->isChecked() ? "4" : "4.4668");
    state.ResumeTiming();
    if (!shown) {
      state.SkipWithError("wrong result after the check box");
      break;
    }
  }
}

// Argument 0: until the text is in the field; 1: and painted.
BENCHMARK(BM_ClickCalcolaSens)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickCalcolaSens2)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickCalcGamma)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickArrotonda)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  g_form = std::make_unique<velsona::ui::Form1>([] { return velsona::platform::NumberFormat{"."}; });
  g_form->Show();
  if (!QTest::qWaitForWindowExposed(static_cast<QWidget*>(g_form->NativeWindow()))) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_form.reset();
  return 0;
}
