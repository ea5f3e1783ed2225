// The floor for start-up time and memory: the same Qt, a window of the same
// size and title, and no application code.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Velsona floor"));
  window.setFixedSize(541, 353);
  window.show();
  return QApplication::exec();
}
