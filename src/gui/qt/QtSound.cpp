#include "qt/QtSound.h"

#include "qt/QtDesktop.h"

#include <QApplication>
#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

QtSoundPort::QtSoundPort() = default;

QtSoundPort::~QtSoundPort()
{
    if (playing_) playing_->stop();
}

float QtSoundPort::PlaybackVolume(std::uint32_t leftRight)
{
    const std::uint32_t left = leftRight & 0xFFFFu;
    const std::uint32_t right = (leftRight >> 16) & 0xFFFFu;
    return static_cast<float>((left + right) / 2.0 / 65535.0);
}

QString QtSoundPort::WavePath(const std::string& fileName) { return DataFilePath(QString::fromStdString(fileName)); }

bool QtSoundPort::HasAudioOutput() { return !QMediaDevices::defaultAudioOutput().isNull(); }

QSoundEffect* QtSoundPort::EffectFor(const QString& path)
{
    auto it = effects_.find(path);
    if (it != effects_.end()) return it->second.get();
    auto effect = std::make_unique<QSoundEffect>();
    effect->setSource(QUrl::fromLocalFile(path));
    effect->setVolume(PlaybackVolume(volume_));
    QSoundEffect* raw = effect.get();
    effects_.emplace(path, std::move(effect));
    return raw;
}

void QtSoundPort::PlayWave(const std::string& fileName)
{
    if (playing_) {
        playing_->stop();
        playing_ = nullptr;
    }
    const QString path = WavePath(fileName);
    if (fileName.empty() || !QFileInfo(path).isFile()) return;
    if (!HasAudioOutput()) return;
    QSoundEffect* effect = EffectFor(path);
    effect->setVolume(PlaybackVolume(volume_));
    effect->play(); // plays as soon as it is loaded
    playing_ = effect;
    lastStarted_ = fileName;
}

bool QtSoundPort::IsPlaying() const { return playing_ && playing_->isPlaying(); }

void QtSoundPort::SetWaveVolume(std::uint32_t leftRight)
{
    volume_ = leftRight;
    const float v = PlaybackVolume(leftRight);
    for (auto& [path, effect] : effects_) effect->setVolume(v);
}

void QtSoundPort::Beep() { QApplication::beep(); }
