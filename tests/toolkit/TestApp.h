// A QApplication on the offscreen platform for the tests that put things on screen; created
// on first use and kept for the rest of the test process.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

inline QApplication* EnsureTestApp() {
    if (QCoreApplication::instance() == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
        static int argc = 1;
        static char name[] = "quorvel_toolkit_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);  // reachable from Qt for the life of the process
    }
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

// Runs the posted work (deferred repaints, queued calls) and then the repaints it asked for,
// at once rather than at the platform's next frame.
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
