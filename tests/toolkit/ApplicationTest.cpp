#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "QtEvents.h"
#include "Toolkit.h"

namespace {

// Builds a window at launch and closes it from the first timer tick.
struct ClosingDelegate : tk::ApplicationDelegate {
    std::vector<std::string> events;
    std::unique_ptr<tk::Window> window;
    std::unique_ptr<tk::RepeatingTimer> timer;

    void WillFinishLaunching() override {
        events.push_back("will finish");
        window = std::make_unique<tk::Window>(tk::Rect{0, 0, 200, 100});
        window->Show();
    }
    void DidFinishLaunching() override {
        events.push_back("did finish");
        timer = tk::RepeatingTimer::Schedule(0.010, [this] {
            events.push_back(window->IsVisible() ? "tick, window shown" : "tick");
            window->Close();
        });
    }
    void WillTerminate() override { events.push_back("will terminate"); }
    bool ShouldTerminateAfterLastWindowClosed() override { return true; }
};

}  // namespace

TEST(Application, ClosingTheLastWindowEndsRunAfterOneTerminateNotice) {
    EnsureTestApp();  // the offscreen platform, when the whole binary runs in one process
    ClosingDelegate delegate;
    static char name[] = "quorvel_toolkit_tests";
    char* argv[] = {name, nullptr};
    const int code = tk::Application::Run(1, argv, delegate);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"will finish", "did finish",
                                                         "tick, window shown", "will terminate"}));
    EXPECT_FALSE(tk::Application::IsRunning());
    tk::Application::Terminate();
    EXPECT_EQ(delegate.events.size(), 4u);
    tk::Application::SetDelegate(nullptr);
}
