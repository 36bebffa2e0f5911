#include "qt_test_app.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace quorvela::charts::testing {
namespace {

std::unique_ptr<QApplication> app;

class QtEnvironment final : public ::testing::Environment {
  public:
    void TearDown() override { app.reset(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

QApplication& App() {
    static int argc = 1;
    static char name[] = "chart_widget_tests";
    static char* argv[] = {name, nullptr};
    if (!app) {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app = std::make_unique<QApplication>(argc, argv);
    }
    return *app;
}

}  // namespace quorvela::charts::testing
