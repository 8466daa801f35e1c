#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <memory>

#include "QtEvents.h"
#include "Toolkit.h"

TEST(RepeatingTimer, TicksRepeatedlyFromTheMainLoopUntilStopped) {
    EnsureTestApp();
    QEventLoop loop;
    int ticks = 0;
    std::unique_ptr<tk::RepeatingTimer> timer;
    timer = tk::RepeatingTimer::Schedule(0.010, [&] {
        if (++ticks == 3) {
            timer->Stop();
            loop.quit();
        }
    });
    EXPECT_TRUE(timer->IsActive());
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);  // a safety net, not a wait
    loop.exec();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer->IsActive());
    // Stopped: the loop runs dry without another tick.
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 3);
}

TEST(RepeatingTimer, ATimerMayDestroyItselfFromItsOwnTick) {
    EnsureTestApp();
    QEventLoop loop;
    int ticks = 0;
    std::unique_ptr<tk::RepeatingTimer> timer;
    timer = tk::RepeatingTimer::Schedule(0.010, [&] {
        ++ticks;
        timer.reset();
        loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timer, nullptr);
}
