#include "qt/QtSound.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Runs the test body in a scratch working directory holding the program's wave
// files (copied from the build directory, where the build puts them).
struct SoundDir : ::testing::Test {
    QTemporaryDir dir;
    QString oldDir;
    void SetUp() override
    {
        oldDir = QDir::currentPath();
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"Exhaust.wav", "Error.wav"}) {
            const QString from = QDir(oldDir).filePath(QLatin1String(name));
            if (QFile::exists(from)) QFile::copy(from, dir.filePath(QLatin1String(name)));
        }
        QDir::setCurrent(dir.path());
    }
    void TearDown() override { QDir::setCurrent(oldDir); }
};

} // namespace

TEST(QtSound, VolumeMapsBothChannelsToThePlaybackVolume)
{
    EXPECT_FLOAT_EQ(QtSoundPort::PlaybackVolume(0x00000000u), 0.0f);
    EXPECT_FLOAT_EQ(QtSoundPort::PlaybackVolume(0xFFFFFFFFu), 1.0f);
    EXPECT_NEAR(QtSoundPort::PlaybackVolume(0x80008000u), 0.5, 1e-4);
    EXPECT_NEAR(QtSoundPort::PlaybackVolume(0x07000700u), 0x0700 / 65535.0, 1e-6);
    // Left in the low word, right in the high word: the mean of both.
    EXPECT_NEAR(QtSoundPort::PlaybackVolume(0x0000FFFFu), 0.5, 1e-4);
    EXPECT_NEAR(QtSoundPort::PlaybackVolume(0xFFFF0000u), 0.5, 1e-4);

    QtSoundPort port;
    EXPECT_EQ(port.WaveVolume(), 0x80008000u);
    port.SetWaveVolume(0x14001400u);
    EXPECT_EQ(port.WaveVolume(), 0x14001400u);
}

TEST_F(SoundDir, BareNamesAreLookedUpInTheWorkingDirectory)
{
    EXPECT_EQ(QtSoundPort::WavePath("Exhaust.wav"), QDir(dir.path()).absoluteFilePath(QStringLiteral("Exhaust.wav")));
}

TEST_F(SoundDir, MissingFilesPlayNothingAndNothingHangs)
{
    QtSoundPort port;
    QElapsedTimer t;
    t.start();
    port.PlayWave("NoSuchSound.wav");
    EXPECT_TRUE(port.LastStarted().empty());
    port.PlayWave("");
    EXPECT_TRUE(port.LastStarted().empty());
    // The real files: started if the machine can play them, silently skipped
    // otherwise. Many beats in a row (each cutting the last) return at once.
    for (int i = 0; i < 50; ++i) {
        port.SetWaveVolume(i % 2 ? 0x07000700u : 0x80008000u);
        port.PlayWave(i % 5 ? "Exhaust.wav" : "Error.wav");
    }
    QCoreApplication::processEvents();
    port.Beep();
    EXPECT_LT(t.elapsed(), 3000);
    if (QtSoundPort::HasAudioOutput() && QFile::exists(QStringLiteral("Exhaust.wav")))
        EXPECT_EQ(port.LastStarted(), "Exhaust.wav");
    else
        EXPECT_TRUE(port.LastStarted().empty());
}

TEST_F(SoundDir, OurWaveFilesPlayWhereThereIsAnOutput)
{
    if (!QtSoundPort::HasAudioOutput()) GTEST_SKIP() << "no audio output on this machine";
    ASSERT_TRUE(QFile::exists(QStringLiteral("Error.wav")));
    QtSoundPort port;
    port.PlayWave("Error.wav");
    ASSERT_EQ(port.LastStarted(), "Error.wav");
    EXPECT_TRUE(QTest::qWaitFor([&] { return port.IsPlaying(); }, 2000));
    // A new sound cuts the one playing.
    port.PlayWave("Exhaust.wav");
    EXPECT_TRUE(QTest::qWaitFor([&] { return port.IsPlaying(); }, 2000));
    EXPECT_EQ(port.LastStarted(), "Exhaust.wav");
    // A missing file stops it and plays nothing.
    port.PlayWave("Missing.wav");
    EXPECT_FALSE(port.IsPlaying());
}
