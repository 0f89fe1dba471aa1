#include "separation/loader/tests/loader_support.h"

#include <filesystem>
#include <memory>

namespace loadertest {

namespace {

// Metafiles are painted with QPainter, which needs a GUI application (offscreen in tests).
class LoaderEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "loader_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
        writePpm(fixtures().few, scratch("few.ppm"));
        writePpm(fixtures().rich, scratch("rich.ppm"));
    }
    void TearDown() override {
        app_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(scratchDir(), ignored);
    }

  private:
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] const auto* registered =
    ::testing::AddGlobalTestEnvironment(new LoaderEnvironment);

} // namespace

const Fixtures& fixtures() {
    static const Fixtures f;
    return f;
}

} // namespace loadertest
