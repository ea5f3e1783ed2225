// The floor for start-up time and memory: the same Qt, a window of the same
// size and title, and no application code. With --text it also shows one
// line of text, which is what first starts the font system (fontconfig).

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstring>

int main(int argc, char** argv) {
  const bool text = argc > 1 && std::strcmp(argv[1], "--text") == 0;
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Velsona floor"));
  window.setFixedSize(541, 353);
  if (text) (new QLabel(QStringLiteral("SENSIBILITÀ"), &window))->move(10, 10);
  window.show();
  return QApplication::exec();
}
