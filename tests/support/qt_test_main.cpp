// The main of the Qt tests: an offscreen QApplication unless a platform is chosen, and a test
// fails when Qt warns during it (beyond the offscreen platform's known notes).
#include <QApplication>
#include <QString>

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// What the offscreen and xcb platforms say of themselves, not of the program.
constexpr std::array<std::string_view, 1> kPlatformNotes{
    "This plugin does not support",
};

std::vector<std::string>& Warnings() {
    static std::vector<std::string> warnings;
    return warnings;
}

void OnQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    const std::string text = message.toStdString();
    for (std::string_view note : kPlatformNotes)
        if (text.find(note) != std::string::npos) return;
    std::fprintf(stderr, "%s\n", text.c_str());
    if (type != QtDebugMsg && type != QtInfoMsg) Warnings().push_back(text);
}

// A Qt warning inside a test is that test's failure; one outside any test fails the run.
class TQtWarningCheck : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override { Warnings().clear(); }
    void OnTestEnd(const ::testing::TestInfo&) override {
        for (const std::string& w : Warnings())
            ADD_FAILURE() << "Qt warned: " << w;
        Warnings().clear();
    }
};

}  // namespace

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
    qInstallMessageHandler(OnQtMessage);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TQtWarningCheck);
    int status = 0;
    {
        QApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    if (!runtime.empty()) rmdir(runtime.c_str());
    if (status == 0 && !Warnings().empty()) {
        std::fprintf(stderr, "Qt warned outside the tests\n");
        status = 1;
    }
    return status;
}
