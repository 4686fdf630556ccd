// The yardstick for OvUI's start-up and memory: a Qt 6 Widgets program that shows one empty
// window of the main window's width and does nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare Qt window"));
  window.resize(776, 520);
  window.show();
  return app.exec();
}
