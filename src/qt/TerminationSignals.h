#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>

namespace quorvel {

// Turns SIGTERM and SIGHUP (a logout, a shutdown, `kill`) into a call on the GUI thread:
// the handler only writes a byte to a pipe, whose reading end wakes the event loop.
class TerminationSignals : public QObject {
  public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;
    // False when the pipe or the handlers could not be set up (the signals then end the
    // program the system's way).
    bool installed() const { return notifier_ != nullptr; }

  private:
    void readSignal();

    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quorvel
