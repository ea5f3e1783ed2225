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
  return g_form->Window()->findChild<T*>(QString::fromLatin1(name));
}

void Click(const char* name) {
  auto* button = Get<QAbstractButton>(name);
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
}

// Clicks `button` with `input` holding one of two texts in turn, so that the
// result is new every time, and checks that it is.
void ClickUntilResult(benchmark::State& state, const char* input, const QString (&texts)[2], const char* button,
                      const char* result, bool repaint) {
  QLineEdit* edit = Get<QLineEdit>(input);
  QLabel* label = Get<QLabel>(result);
  int turn = 0;
  for (auto _ : state) {
    state.PauseTiming();
    edit->setText(texts[turn]);
    const QString before = label->text();
    turn ^= 1;
    state.ResumeTiming();
    Click(button);
    if (repaint) QCoreApplication::processEvents();
    state.PauseTiming();
    if (label->text() == before || label->text().isEmpty()) state.SkipWithError("no new result");
    state.ResumeTiming();
  }
}

const QString kDb[2] = {"-47", "-34"};
const QString kMv[2] = {"12", "25"};
const QString kNoise[2] = {"15", "7.5"};

void BM_ClickCalcolaSens(benchmark::State& state) {
  ClickUntilResult(state, "DBSens1", kDb, "CalcolaSens", "MVSens1", state.range(0) != 0);
}
void BM_ClickCalcolaSens2(benchmark::State& state) {
  ClickUntilResult(state, "MVSens2", kMv, "CalcolaSens2", "DBSens2", state.range(0) != 0);
}
void BM_ClickCalcGamma(benchmark::State& state) {
  Get<QLineEdit>("MAXSPL")->setText("130");
  ClickUntilResult(state, "SELFNOISE", kNoise, "CalcGamma", "LabGamma", state.range(0) != 0);
}
void BM_ClickArrotonda(benchmark::State& state) {
  Get<QLineEdit>("DBSens1")->setText("-47");
  QLabel* label = Get<QLabel>("MVSens1");
  for (auto _ : state) {
    state.PauseTiming();
    const QString before = label->text();
    state.ResumeTiming();
    Click("Arrotonda");  // ticks and clears in turn: 4 and 4.4668
    if (state.range(0) != 0) QCoreApplication::processEvents();
    state.PauseTiming();
    if (label->text() == before) state.SkipWithError("no new result");
    state.ResumeTiming();
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
  g_form = std::make_unique<velsona::ui::Form1>(velsona::platform::NumberFormat{"."});
  g_form->Show();
  if (!QTest::qWaitForWindowExposed(g_form->Window())) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_form.reset();
  return 0;
}
