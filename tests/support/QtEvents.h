// The Qt event loop for the tests: an application on the offscreen platform, the posted work
// run at once, and the loop run until a condition holds.
//   EnsureTestApp();                                   // once, before any widget
//   ProcessPendingEvents();                            // deferred repaints done now
//   EXPECT_TRUE(ProcessEventsUntil([&] { return count == 1; }));
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <functional>

inline QApplication* EnsureTestApp() {
    if (QCoreApplication::instance() == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
        // The fonts ctest gives every test, also when the test program is run by hand.
        setenv("FONTCONFIG_FILE", QUORVEL_TEST_SUPPORT "/fonts.conf", /*overwrite=*/0);
        static int argc = 1;
        static char* argv[] = {const_cast<char*>("quorvel_tests"), nullptr};
        new QApplication(argc, argv);  // reachable from Qt for the life of the process
    }
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

// Runs the posted work (deferred repaints, queued calls), then the repaints it asked for, at
// once rather than at the platform's next frame.
inline void ProcessPendingEvents() {
    for (int i = 0; i < 2; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        for (QWidget* window : QApplication::topLevelWidgets()) {
            QEvent request(QEvent::UpdateRequest);
            QCoreApplication::sendEvent(window, &request);
        }
    }
}

// Runs the event loop until done() holds; false after five seconds, a safety net for a fault
// that never delivers, not a measure.
inline bool ProcessEventsUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(5000);
    QTimer wake;  // so that the deadline is looked at while nothing else happens
    wake.start(20);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}
