// Sound over Qt Multimedia: wave files played by bare name (looked up in the
// working directory, then in the program's data folders), the wave-output
// volume, and the plain beep.
#pragma once

#include "platform/Services.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>

class QSoundEffect;

class QtSoundPort : public SoundPort {
public:
    QtSoundPort();
    ~QtSoundPort() override;

    // Asynchronous; a new sound stops the one playing. A file that is not
    // there plays nothing and reports nothing; without an audio output the
    // call does nothing either.
    void PlayWave(const std::string& fileName) override;
    // Low word left, high word right, each 0..0xFFFF; the playback volume is
    // the mean of the two channels.
    void SetWaveVolume(std::uint32_t leftRight) override;
    std::uint32_t WaveVolume() const override { return volume_; }
    void Beep() override;

    // Playback volume 0..1 for a wave-output volume.
    static float PlaybackVolume(std::uint32_t leftRight);
    // The path a bare file name is played from (DataFilePath).
    static QString WavePath(const std::string& fileName);
    // Whether the machine has an audio output to play on.
    static bool HasAudioOutput();

    // Last file started (empty if none), and whether it is still sounding.
    const std::string& LastStarted() const { return lastStarted_; }
    bool IsPlaying() const;

private:
    QSoundEffect* EffectFor(const QString& path);

    std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
    QSoundEffect* playing_ = nullptr;
    std::uint32_t volume_ = 0x80008000u;
    std::string lastStarted_;
};
