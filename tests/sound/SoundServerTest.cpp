// The program's sounds as an audio server hears them. The test starts its own
// PulseAudio server with a null sink (nothing reaches a loudspeaker), runs the
// real main window with the real QtSoundPort, and records the sink's monitor
// with parec. The wave files are test tones of known pitch and full loudness,
// so that each sound heard shows which file played and at what volume.
#include "drawing/SteamDisplay.h"
#include "gui/GuiTestSupport.h"
#include "mainwin/TMainForm.h"
#include "model/AppState.h"
#include "platform/Services.h"
#include "qt/QtSound.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kFullScale = 30000;
constexpr double kExhaustHz = 400, kErrorHz = 2500;
constexpr int kToneMs = 150;

// A PulseAudio server of this process's own: its runtime folder, socket and
// cookie in a scratch folder, a null sink as the only output. It dies with
// the test process whatever way that ends.
class PrivateSoundServer {
public:
    // Empty on success, else why not.
    std::string Start()
    {
        char folder[] = "/tmp/quelf-sound-XXXXXX";
        if (!mkdtemp(folder)) return "no scratch folder for the sound server";
        dir_ = folder;
        setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        setenv("PULSE_SERVER", ("unix:" + dir_ + "/pulse/native").c_str(), 1);
        setenv("PULSE_COOKIE", (dir_ + "/.config/pulse/cookie").c_str(), 1);
        setenv("PULSE_CLIENTCONFIG", (dir_ + "/client.conf").c_str(), 1);
        // The latency of a sound card: a null sink would otherwise buffer a
        // second or more, and each sound would stop before it is heard.
        setenv("PULSE_LATENCY_MSEC", "60", 1);
        const std::string log = dir_ + "/server.log";
        const pid_t parent = getpid();
        pid_ = fork();
        if (pid_ < 0) return "cannot start the sound server";
        if (pid_ == 0) {
            // Dies with the test, even if the test died before this line.
            if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) _exit(125);
            setenv("HOME", dir_.c_str(), 1);
            if (!freopen(log.c_str(), "w", stderr) || !freopen("/dev/null", "w", stdout)) _exit(126);
            execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--log-target=stderr",
                   "--load=module-null-sink", "--load=module-native-protocol-unix", static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int waited = 0; waited < 30000; waited += 50) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return "the sound server stopped at once (exit " + std::to_string(WEXITSTATUS(status)) +
                       "; is pulseaudio installed? tools/install-deps.sh installs it); its log: " + log;
            }
            if (std::system("pactl info >/dev/null 2>&1") == 0) return {};
            usleep(50 * 1000);
        }
        return "the sound server did not answer within 30 s; its log: " + log;
    }

    ~PrivateSoundServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int waited = 0;
            while (waitpid(pid_, nullptr, WNOHANG) == 0 && waited < 5000) {
                usleep(20 * 1000);
                waited += 20;
            }
            if (waited >= 5000) {
                kill(pid_, SIGKILL);
                waitpid(pid_, nullptr, 0);
            }
        }
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }

private:
    std::string dir_;
    pid_t pid_ = -1;
};

std::string gServerError = "the sound server was not started";

// A stereo 16-bit tone of full loudness at the server's rate.
void WriteTone(const QString& path, double hz, int ms)
{
    const int frames = kRate * ms / 1000;
    QByteArray data;
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(std::lround(kFullScale * std::sin(2 * M_PI * hz * i / kRate)));
        for (int ch = 0; ch < 2; ++ch) data.append(reinterpret_cast<const char*>(&v), 2);
    }
    auto u32 = [](uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](uint16_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(2) + u32(kRate) + u32(kRate * 4) +
            u16(4) + u16(16) + "data" + u32(data.size()) + data);
}

// A stretch of sound on the monitor: how long, its loudness (peak over full
// scale) and pitch. Qt's playback may cut a sound short or break it up, so a
// stretch can be a part of one.
struct Burst {
    double ms = 0;
    double level = 0;
    double hz = 0;
};

// The monitor's samples (mono, 16 bit) cut into stretches apart by more than
// 40 ms of silence; those of 2 ms or more, long enough to reach their peak.
std::vector<Burst> Bursts(const QByteArray& pcm)
{
    const auto* s = reinterpret_cast<const int16_t*>(pcm.constData());
    const long n = pcm.size() / 2;
    std::vector<Burst> out;
    long last = -1, sounding = 0, crossings = 0;
    int peak = 0;
    auto close = [&] {
        if (sounding >= kRate * 2 / 1000)
            out.push_back({sounding * 1000.0 / kRate, peak / kFullScale, crossings * kRate / 2.0 / sounding});
    };
    for (long i = 0; i < n; ++i) {
        if (s[i] == 0) continue;
        if (last < 0 || i - last > kRate * 40 / 1000) {
            close();
            peak = 0;
            sounding = 0;
            crossings = 0;
        } else if ((s[i] > 0) != (s[last] > 0)) {
            ++crossings;
        }
        last = i;
        ++sounding;
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    }
    close();
    return out;
}

bool Silent(const QByteArray& pcm)
{
    const auto* s = reinterpret_cast<const int16_t*>(pcm.constData());
    return std::all_of(s, s + pcm.size() / 2, [](int16_t v) { return v == 0; });
}

// The loudness steps heard, each once.
std::set<double> StepsHeard(const QByteArray& pcm)
{
    std::set<double> out;
    for (const Burst& b : Bursts(pcm)) out.insert(std::round(b.level * 1000) / 1000);
    return out;
}

int SinkInputs()
{
    QProcess p;
    p.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")});
    if (!p.waitForFinished(10000) || p.exitCode() != 0) return -1;
    return static_cast<int>(p.readAllStandardOutput().count('\n'));
}

// The real main window with the real sound port, ticking, in a scratch
// working directory; the sink's monitor recorded from the start.
struct ServerSound : ::testing::Test {
    QTemporaryDir dir;
    QString oldDir;
    AppState state;
    QtSoundPort sound;
    FixedRandom random;
    FixedClock clock;
    std::unique_ptr<TMainForm> form;
    QProcess recorder;
    QByteArray pcm;
    int ticks = 0;
    std::vector<float> beatVolumes; // playback volume of each exhaust beat the program played

    void SetUp() override
    {
        ASSERT_EQ(gServerError, "");
        ASSERT_TRUE(QtSoundPort::HasAudioOutput());
        ASSERT_TRUE(dir.isValid());
        oldDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
        recorder.start(QStringLiteral("parec"),
                       {QStringLiteral("-d"), QStringLiteral("null.monitor"), QStringLiteral("--format=s16le"),
                        QStringLiteral("--channels=1"), QStringLiteral("--rate=44100"), QStringLiteral("--raw"),
                        QStringLiteral("--latency-msec=20")});
        ASSERT_TRUE(recorder.waitForStarted(10000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return Record() > 0; }, 10000)) << "the monitor records nothing";
    }
    void TearDown() override
    {
        form.reset();
        recorder.kill();
        recorder.waitForFinished(10000);
        QDir::setCurrent(oldDir);
    }

    long Record()
    {
        pcm += recorder.readAllStandardOutput();
        return pcm.size();
    }

    void ShowWindow()
    {
        form = std::make_unique<TMainForm>(state, sound, random, clock);
        // After each tick: count it, and note an exhaust beat with its volume.
        QObject::connect(Named<QTimer>(*form, "Timer1"), &QTimer::timeout, form.get(), [this] {
            ++ticks;
            SteamDisplay& st = state.steam;
            if ((frontArmed && !st.FrontBeatArmed) || (rearArmed && !st.RearBeatArmed))
                beatVolumes.push_back(QtSoundPort::PlaybackVolume(sound.WaveVolume()));
            frontArmed = st.FrontBeatArmed;
            rearArmed = st.RearBeatArmed;
        });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void SetSteamDisplay()
    {
        QAction* a = form->findChild<QAction*>(QStringLiteral("SetSteam"));
        ASSERT_NE(a, nullptr);
        a->trigger();
    }
    // Lets the window tick until `until` holds, recording meanwhile.
    bool TickUntil(const std::function<bool()>& until, int ms = 20000)
    {
        return QTest::qWaitFor(
            [&] {
                Record();
                return until();
            },
            ms);
    }

    bool frontArmed = false, rearArmed = false;
};

TEST_F(ServerSound, SilentWhileTheSteamDisplayIsOffThenBeatsAtTheVolumesOfTheTable)
{
    WriteTone(QStringLiteral("Exhaust.wav"), kExhaustHz, kToneMs);
    WriteTone(QStringLiteral("Error.wav"), kErrorHz, kToneMs);
    ShowWindow();
    // Three revolutions of the driver at the start-up step, sound off.
    const int revolution = static_cast<int>(std::lround(360 / state.anim.ActiveStep));
    ASSERT_TRUE(TickUntil([&] { return ticks >= 3 * revolution; }));
    EXPECT_TRUE(Silent(pcm));
    EXPECT_EQ(SinkInputs(), 0);
    EXPECT_TRUE(sound.LastStarted().empty());

    // Some way between mid gear and full forward gear the two ends' beats
    // alternate between two steps of the table.
    Named<QScrollBar>(*form, "SBRevArm")->setValue(600);
    const double start = std::round(1000 * QtSoundPort::PlaybackVolume(sound.WaveVolume())) / 1000;
    SetSteamDisplay();
    ASSERT_TRUE(TickUntil([&] { return SinkInputs() >= 1; }));
    // Two steps heard besides the volume the first beat finds.
    auto changed = [&] {
        const std::set<double> heard = StepsHeard(pcm);
        return heard.size() - heard.count(start) >= 2;
    };
    ASSERT_TRUE(TickUntil(changed)) << StepsHeard(pcm).size() << " steps heard over " << beatVolumes.size() << " beats";

    // Every sound heard at a volume the program gave a beat: steps of the
    // table, the same on both channels.
    std::set<float> table;
    for (int n : {24, 101, 201, 401, 601, 801, 1001, 1201})
        table.insert(QtSoundPort::PlaybackVolume(ExhaustBeatVolume(n)));
    for (float v : beatVolumes) EXPECT_TRUE(table.count(v)) << v;
    for (const Burst& b : Bursts(pcm)) {
        EXPECT_TRUE(std::any_of(beatVolumes.begin(), beatVolumes.end(), [&](float v) {
            return std::abs(b.level - v) < 0.01;
        })) << b.level;
        if (b.ms >= 4000 / kExhaustHz) { // four periods: enough to tell the pitch
            EXPECT_NEAR(b.hz, kExhaustHz, kExhaustHz / 4);
        }
    }
    std::cout << "exhaust beats: " << beatVolumes.size() << " played, " << Bursts(pcm).size()
              << " sounds heard, at levels";
    for (double v : StepsHeard(pcm)) std::cout << " " << v;
    std::cout << "\n";
}

TEST_F(ServerSound, TheSolverErrorPlaysTheErrorSound)
{
    WriteTone(QStringLiteral("Exhaust.wav"), kExhaustHz, kToneMs);
    WriteTone(QStringLiteral("Error.wav"), kErrorHz, kToneMs);
    ShowWindow();
    // A main rod shorter than half the stroke: every solve clamps. The steam
    // display stays off, so the error sound is the only one.
    state.gear.MainRodLength = 1.0f;
    ASSERT_TRUE(TickUntil([&] { return !Bursts(pcm).empty(); }));
    EXPECT_EQ(sound.LastStarted(), "Error.wav");
    for (const Burst& b : Bursts(pcm)) { // each of 2 ms or more: five periods of the error tone
        EXPECT_NEAR(b.level, QtSoundPort::PlaybackVolume(0x80008000u), 0.01);
        EXPECT_NEAR(b.hz, kErrorHz, kErrorHz / 4);
        std::cout << "error sound heard at " << b.hz << " Hz, level " << b.level << "\n";
    }
}

TEST_F(ServerSound, AMissingWaveFilePlaysNothing)
{
    // No Exhaust.wav anywhere the program looks.
    ASSERT_FALSE(QFile::exists(QtSoundPort::WavePath("Exhaust.wav")));
    ShowWindow();
    SetSteamDisplay();
    ASSERT_TRUE(TickUntil([&] { return beatVolumes.size() >= 4; }));
    // The window goes on ticking as before; the server heard nothing.
    const int at = ticks;
    ASSERT_TRUE(TickUntil([&] { return ticks >= at + 20; }));
    EXPECT_TRUE(Silent(pcm));
    EXPECT_EQ(SinkInputs(), 0);
    EXPECT_TRUE(sound.LastStarted().empty());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The server first: Qt looks for audio outputs once.
    PrivateSoundServer server;
    gServerError = server.Start();
    QTemporaryDir config;
    if (!config.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    int result = 0;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    return result;
}
