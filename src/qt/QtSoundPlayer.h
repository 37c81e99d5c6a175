#pragma once

#include <QObject>
#include <QSoundEffect>
#include <map>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace quorvel {

// The program's WAVE resources ":/sounds/<name>.wav", played asynchronously; a new sound
// cuts off the one still playing. Without an audio output nothing plays and nothing is
// reported.
class QtSoundPlayer : public QObject, public SoundOutput {
  public:
    explicit QtSoundPlayer(QObject* parent = nullptr);

    void playSound(const std::string& name) override;
    bool hasOutput() const { return hasOutput_; }
    // The sound last asked for that exists, lower case; for tests.
    const std::string& lastPlayed() const { return lastPlayed_; }

  private:
    QSoundEffect* effectFor(const std::string& lowerName);

    bool hasOutput_ = false;
    std::map<std::string, QSoundEffect*> effects_;
    std::string lastPlayed_;
};

// Lower case, as resource names are compared without regard to case.
std::string soundResourceName(const std::string& name);

}  // namespace quorvel
