#include "QtSoundPlayer.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QUrl>

#include "io/TextUtils.h"

namespace quorvel {

std::string soundResourceName(const std::string& name) {
    return lowerCase(name);
}

QtSoundPlayer::QtSoundPlayer(QObject* parent)
    : QObject(parent), hasOutput_(!QMediaDevices::audioOutputs().isEmpty()) {}

QSoundEffect* QtSoundPlayer::effectFor(const std::string& lowerName) {
    const auto found = effects_.find(lowerName);
    if (found != effects_.end()) return found->second;
    const QString path = ":/sounds/" + QString::fromStdString(lowerName) + ".wav";
    QSoundEffect* effect = nullptr;
    if (QFile::exists(path)) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl("qrc" + path));
    }
    effects_[lowerName] = effect;
    return effect;
}

void QtSoundPlayer::playSound(const std::string& name) {
    if (name.empty()) return;
    const std::string lowerName = soundResourceName(name);
    if (!QFile::exists(":/sounds/" + QString::fromStdString(lowerName) + ".wav")) return;
    lastPlayed_ = lowerName;
    if (!hasOutput_) return;
    QSoundEffect* effect = effectFor(lowerName);
    if (!effect) return;
    for (auto& [other, playing] : effects_) {
        if (playing && playing != effect) playing->stop();
    }
    effect->play();
}

}  // namespace quorvel
