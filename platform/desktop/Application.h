#pragma once

#include <memory>

class QApplication;

namespace platform {

// The Qt application with the desktop defaults every control relies on: one
// Simplified-Chinese-capable user-interface font at 12 pixels, whose Chinese and Latin lines
// are equally tall, so that the designed sizes fit their texts.
class Application {
public:
    Application(int& argc, char** argv);
    ~Application();

    int Run();

    // For hosts that create their own QApplication (the test runner).
    static void ApplyDefaults();

private:
    std::unique_ptr<QApplication> m_app;
};

} // namespace platform
