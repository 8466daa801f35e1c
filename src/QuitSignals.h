// SIGTERM and SIGHUP (a logout, a shutdown, a `kill`) taken as a quit, on the main thread: the
// signal handler only writes a byte to one end of a socket pair; a socket notifier reads the
// other end from the main loop and calls the quit there, where saving is safe.
//
//   QuitSignals signals([&] { return delegate.QuitOnSignal(); });
//   kill -TERM <pid>   ->  QuitOnSignal() on the main thread; while it answers false (a dialog
//                          still closing), it is called again a moment later.
//
// One at a time in a process; needs the Qt application object. The default handlers come back
// when it is destroyed.
#pragma once

#include <functional>
#include <memory>

class QuitSignals {
  public:
    explicit QuitSignals(std::function<bool()> quit);
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};
