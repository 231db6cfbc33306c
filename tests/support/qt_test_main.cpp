// The main of the Qt tests: an offscreen QApplication unless a platform is chosen.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    // Test discovery runs this binary right after linking, without a display and without the
    // test's environment.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string runtime;
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
        runtime = "/tmp/rekna-ui-test-XXXXXX";
        if (mkdtemp(runtime.data()) != nullptr) {
            setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        } else {
            runtime.clear();
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    int status = 0;
    {
        QApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    if (!runtime.empty()) rmdir(runtime.c_str());
    return status;
}
