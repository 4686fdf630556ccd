#include <QApplication>

#include "tests/shellui/qt_app_environment.h"

// One QApplication for all widget tests of this program.
[[maybe_unused]] static auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(
    new ov::test::QtAppEnvironment<QApplication>);
