// quelf_monkey: starts a program under the current X display and sends it seeded random input through the XTest
// extension (clicks, double clicks, drags, the wheel and keys) on whichever of its windows are shown, menus and
// dialogs included. It fails if the program dies by a signal, exits with an error status or stops answering.
//
//   quelf_monkey [--seed N] [--events N] [--deadline SECONDS] [--pause MS] [--copy FILE]... [--verbose]
//                PROGRAM [ARGS...]
//
// The program runs in a scratch folder that is also its HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR; files given
// with --copy are put there for its file dialogs. Run as root, the program runs as "nobody" where it can, so that
// whatever its file dialogs are led to can only change the scratch folder.
//
// Every choice comes from one std::mt19937 seeded with --seed and from the list of the program's shown windows
// at that moment (their number, order and sizes). After each event the monkey pauses --pause milliseconds (20
// by default) so that the program's timer ticks, then marks a patch of the program's topmost window, has the X
// server expose it and waits until the program has painted it over, until its windows stay as they are from
// one repaint to the next: the program has then handled the event before the next is chosen. No repaint within
// --deadline seconds (30 by default) is a hang. The Exit command is never sent: no Ctrl+Q, no "x" key, no
// Alt+F4. If the program still exits normally (a click that lands on File > Exit), it is started again and the
// run goes on.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uid_t kNobody = 65534;
constexpr unsigned long kMark = 0x010203; // the colour of the patch the program must paint over

struct Options {
    unsigned long seed = 1;
    long events = 1000;
    int deadline = 30;
    int pauseMs = 20;
    bool verbose = false;
    std::vector<std::string> copies;
    std::vector<std::string> program;
};

struct Win {
    Window id = 0;
    int x = 0, y = 0, w = 0, h = 0;
    bool popup = false;
    std::string title;
};

[[noreturn]] void Usage()
{
    std::fprintf(stderr, "usage: quelf_monkey [--seed N] [--events N] [--deadline SECONDS] [--pause MS] "
                         "[--copy FILE]... [--verbose] PROGRAM [ARGS...]\n");
    std::exit(2);
}

Options ParseOptions(int argc, char** argv)
{
    Options o;
    int i = 1;
    auto value = [&](const char* name) -> std::string {
        if (i + 1 >= argc) {
            std::fprintf(stderr, "quelf_monkey: %s needs a value\n", name);
            Usage();
        }
        return argv[++i];
    };
    for (; i < argc && argv[i][0] == '-'; ++i) {
        const std::string a = argv[i];
        if (a == "--seed")
            o.seed = std::stoul(value("--seed"));
        else if (a == "--events")
            o.events = std::stol(value("--events"));
        else if (a == "--deadline")
            o.deadline = std::stoi(value("--deadline"));
        else if (a == "--pause")
            o.pauseMs = std::stoi(value("--pause"));
        else if (a == "--copy")
            o.copies.push_back(value("--copy"));
        else if (a == "--verbose")
            o.verbose = true;
        else if (a == "--") {
            ++i;
            break;
        } else
            Usage();
    }
    for (; i < argc; ++i) o.program.emplace_back(argv[i]);
    if (o.program.empty() || o.events < 0 || o.deadline <= 0 || o.pauseMs < 0) Usage();
    return o;
}

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; } // windows may go between listing and use

class Monkey {
public:
    explicit Monkey(Options o) : opt_(std::move(o)), rng_(opt_.seed) {}
    int Run();

private:
    // The program.
    void MakeScratch();
    bool CanDropToNobody() const;
    void Start();
    void Stop();
    bool Exited(); // true if the program has exited normally; a death by a signal or an error status fails the run
    std::vector<Win> Windows();
    bool WaitForWindow();
    bool Answers();
    bool Settle();
    // Input.
    void Event(long n);
    Win PickWindow(const std::vector<Win>& ws);
    void PointIn(const Win& w, int& x, int& y);
    void Move(int x, int y);
    void Click(unsigned button, int x, int y, int times);
    void Drag(int x0, int y0, int x1, int y1, int steps);
    void Tap(KeySym key, std::initializer_list<KeySym> mods = {});
    std::string KeyEvent();
    // Report.
    void Note(long n, const std::string& what);
    [[noreturn]] void Fail(const std::string& why);
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    Options opt_;
    std::mt19937 rng_;
    Display* dpy_ = nullptr;
    Window root_ = 0;
    int screenW_ = 0, screenH_ = 0;
    Atom pidAtom_ = 0, netName_ = 0, utf8_ = 0;
    GC markGc_ = nullptr;
    fs::path scratch_;
    bool asNobody_ = false;
    pid_t pid_ = -1;
    long current_ = 0;
    long restarts_ = 0;
    std::deque<std::string> last_;
};

void Monkey::MakeScratch()
{
    std::string tmpl = (fs::temp_directory_path() / "quelf-monkey-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) Fail("cannot make a scratch folder");
    scratch_ = tmpl;
    for (const char* sub : {"home", "config", "run", "work"}) fs::create_directory(scratch_ / sub);
    fs::permissions(scratch_ / "run", fs::perms::owner_all);
    for (const std::string& f : opt_.copies) {
        std::error_code ec;
        fs::copy_file(f, scratch_ / "work" / fs::path(f).filename(), fs::copy_options::overwrite_existing, ec);
        if (ec) std::fprintf(stderr, "quelf_monkey: cannot copy %s: %s\n", f.c_str(), ec.message().c_str());
    }
    // The X authority (xvfb-run makes one) must be readable by the program's user.
    if (const char* xa = std::getenv("XAUTHORITY"); xa && fs::exists(xa)) {
        std::error_code ec;
        fs::copy_file(xa, scratch_ / "home" / ".Xauthority", ec);
    }
    asNobody_ = geteuid() == 0 && CanDropToNobody();
    if (asNobody_) {
        for (const auto& e : fs::recursive_directory_iterator(scratch_))
            if (lchown(e.path().c_str(), kNobody, kNobody) != 0) Fail("cannot hand the scratch folder over");
        if (chown(scratch_.c_str(), kNobody, kNobody) != 0) Fail("cannot hand the scratch folder over");
    }
}

// Whether "nobody" may run the program where it is (a checkout under /root may not be reachable).
bool Monkey::CanDropToNobody() const
{
    const pid_t p = fork();
    if (p == 0) {
        const bool ok = setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0 &&
                        access(opt_.program[0].c_str(), X_OK) == 0;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    return p > 0 && waitpid(p, &status, 0) == p && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Monkey::Start()
{
    const fs::path log = scratch_ / "program.log";
    const pid_t p = fork();
    if (p < 0) Fail("fork failed");
    if (p == 0) {
        setpgid(0, 0);
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        setenv("HOME", (scratch_ / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (scratch_ / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (scratch_ / "run").c_str(), 1);
        setenv("XDG_DATA_HOME", (scratch_ / "home").c_str(), 1);
        setenv("XDG_CACHE_HOME", (scratch_ / "home").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        if (fs::exists(scratch_ / "home" / ".Xauthority"))
            setenv("XAUTHORITY", (scratch_ / "home" / ".Xauthority").c_str(), 1);
        if (chdir((scratch_ / "work").c_str()) != 0) _exit(127);
        if (asNobody_ && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(127);
        std::vector<char*> args;
        for (std::string& a : opt_.program) args.push_back(a.data());
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    setpgid(p, p);
    pid_ = p;
}

void Monkey::Stop()
{
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    const auto end = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() > end) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            break;
        }
        usleep(20000);
    }
    pid_ = -1;
}

bool Monkey::Exited()
{
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) != pid_) return false;
    pid_ = -1;
    if (WIFSIGNALED(status))
        Fail("the program died by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) +
             ")");
    if (WEXITSTATUS(status) != 0) Fail("the program exited with status " + std::to_string(WEXITSTATUS(status)));
    return true;
}

std::vector<Win> Monkey::Windows()
{
    std::vector<Win> out;
    if (pid_ <= 0) return out;
    Window rootRet = 0, parent = 0, *kids = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy_, root_, &rootRet, &parent, &kids, &n)) return out;
    for (unsigned i = 0; i < n; ++i) { // bottom to top
        XWindowAttributes wa{};
        if (!XGetWindowAttributes(dpy_, kids[i], &wa) || wa.map_state != IsViewable || wa.width < 2 || wa.height < 2)
            continue;
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        long pid = -1;
        if (XGetWindowProperty(dpy_, kids[i], pidAtom_, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                               &data) == Success &&
            data) {
            if (items == 1 && format == 32) pid = *reinterpret_cast<long*>(data);
            XFree(data);
        }
        if (pid <= 0 || (pid != pid_ && getpgid(static_cast<pid_t>(pid)) != pid_)) continue;
        Win w{kids[i], wa.x, wa.y, wa.width, wa.height, wa.override_redirect != 0, {}};
        data = nullptr;
        if (XGetWindowProperty(dpy_, kids[i], netName_, 0, 64, False, utf8_, &type, &format, &items, &after, &data) ==
                Success &&
            data) {
            w.title.assign(reinterpret_cast<char*>(data), items);
            XFree(data);
        }
        if (w.popup && w.title.empty()) w.title = "(popup)";
        out.push_back(w);
    }
    if (kids) XFree(kids);
    return out;
}

bool Monkey::WaitForWindow()
{
    const auto end = Clock::now() + std::chrono::seconds(opt_.deadline);
    while (Clock::now() < end) {
        if (Exited()) return false;
        if (!Windows().empty()) return true;
        usleep(50000);
    }
    return false;
}

// Whether the program still repaints: the monkey marks a small patch of its topmost shown window with a colour of
// its own and asks the X server to expose that patch; the program's GUI thread must paint it over from its own
// picture. False if the program exited meanwhile; no repaint within the deadline fails the run.
bool Monkey::Answers()
{
    constexpr int kPatch = 4;
    const auto end = Clock::now() + std::chrono::seconds(opt_.deadline);
    while (true) {
        const std::vector<Win> ws = Windows();
        if (ws.empty()) {
            if (!WaitForWindow()) {
                if (pid_ <= 0) return false;
                Fail("the program shows no window");
            }
            continue;
        }
        // The middle of the part of the topmost window that is on the screen.
        const Win& w = ws.back();
        const int x0 = std::max(w.x, 0), x1 = std::min(w.x + w.w, screenW_);
        const int y0 = std::max(w.y, 0), y1 = std::min(w.y + w.h, screenH_);
        const int px = (x0 + x1) / 2 - w.x - kPatch / 2, py = (y0 + y1) / 2 - w.y - kPatch / 2;
        XFillRectangle(dpy_, w.id, markGc_, px, py, kPatch, kPatch);
        XClearArea(dpy_, w.id, px, py, kPatch, kPatch, True);
        XSync(dpy_, False);
        // Look again for a second; then mark again (the window may have gone meanwhile, a menu that closed).
        const auto retry = Clock::now() + std::chrono::seconds(1);
        while (Clock::now() < retry) {
            XImage* img = XGetImage(dpy_, w.id, px, py, kPatch, kPatch, AllPlanes, ZPixmap);
            if (!img) break;
            bool marked = false;
            for (int y = 0; y < kPatch && !marked; ++y)
                for (int x = 0; x < kPatch && !marked; ++x) marked = (XGetPixel(img, x, y) & 0xffffff) == kMark;
            XDestroyImage(img);
            if (!marked) return true;
            if (Exited()) return false;
            usleep(1000);
        }
        if (Exited()) return false;
        if (Clock::now() > end) {
            if (std::system("command -v gdb >/dev/null 2>&1") == 0) {
                std::fprintf(stderr, "quelf_monkey: where the program is (main thread):\n");
                const std::string cmd = "gdb -p " + std::to_string(pid_) + " -batch -ex bt 2>/dev/null | grep '^#' >&2";
                [[maybe_unused]] int rc = std::system(cmd.c_str());
            }
            Fail("the program did not repaint within " + std::to_string(opt_.deadline) + " s");
        }
    }
}

// Waits until the program repaints and its shown windows stay as they are from one repaint to the next, so that
// a window the last event opens (or closes) is in the list the next choice is made from.
bool Monkey::Settle()
{
    auto shape = [this] {
        std::vector<int> out;
        for (const Win& w : Windows()) out.insert(out.end(), {w.x, w.y, w.w, w.h, w.popup ? 1 : 0});
        return out;
    };
    std::vector<int> before = shape();
    for (int i = 0; i < 20; ++i) {
        if (!Answers()) return false;
        std::vector<int> now = shape();
        if (now == before) return true;
        before = std::move(now);
        usleep(10000);
    }
    return true;
}

Win Monkey::PickWindow(const std::vector<Win>& ws)
{
    // Mostly the topmost window (an open menu or a modal dialog), else any.
    if (Uniform(0, 3) != 0) return ws.back();
    return ws[static_cast<size_t>(Uniform(0, static_cast<int>(ws.size()) - 1))];
}

void Monkey::PointIn(const Win& w, int& x, int& y)
{
    x = std::clamp(w.x + Uniform(0, w.w - 1), 0, screenW_ - 1);
    y = std::clamp(w.y + Uniform(0, w.h - 1), 0, screenH_ - 1);
}

void Monkey::Move(int x, int y) { XTestFakeMotionEvent(dpy_, -1, x, y, CurrentTime); }

void Monkey::Click(unsigned button, int x, int y, int times)
{
    Move(x, y);
    for (int i = 0; i < times; ++i) {
        XTestFakeButtonEvent(dpy_, button, True, CurrentTime);
        XTestFakeButtonEvent(dpy_, button, False, CurrentTime);
    }
}

void Monkey::Drag(int x0, int y0, int x1, int y1, int steps)
{
    Move(x0, y0);
    XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
    for (int i = 1; i <= steps; ++i) {
        XSync(dpy_, False);
        Move(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    }
    XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
}

void Monkey::Tap(KeySym key, std::initializer_list<KeySym> mods)
{
    const KeyCode code = XKeysymToKeycode(dpy_, key);
    if (code == 0) return;
    for (KeySym m : mods) XTestFakeKeyEvent(dpy_, XKeysymToKeycode(dpy_, m), True, CurrentTime);
    XTestFakeKeyEvent(dpy_, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy_, code, False, CurrentTime);
    for (auto m = std::rbegin(mods); m != std::rend(mods); ++m)
        XTestFakeKeyEvent(dpy_, XKeysymToKeycode(dpy_, *m), False, CurrentTime);
}

// One key from the monkey's set; returns its name. Never Ctrl+Q, "x" or Alt+F4 (the Exit command).
std::string Monkey::KeyEvent()
{
    static const std::string typed = "abcdefghijklmnopqrstuvwyz0123456789-."; // no "x"
    static const std::vector<std::pair<KeySym, const char*>> moves = {
        {XK_Tab, "Tab"},        {XK_Return, "Enter"},
        {XK_space, "Space"},    {XK_Left, "Left"},
        {XK_Right, "Right"},    {XK_Up, "Up"},
        {XK_Down, "Down"},      {XK_Prior, "Page Up"},
        {XK_Next, "Page Down"}, {XK_Home, "Home"},
        {XK_End, "End"},        {XK_BackSpace, "Backspace"},
        {XK_Delete, "Delete"},  {XK_ISO_Left_Tab, "Shift+Tab"}};
    static const std::string ctrl = "zcvaepos";
    const int kind = Uniform(0, 99);
    if (kind < 40) {
        const char c = typed[static_cast<size_t>(Uniform(0, static_cast<int>(typed.size()) - 1))];
        const KeySym k = c == '-' ? XK_minus : c == '.' ? XK_period : static_cast<KeySym>(c);
        Tap(k);
        return std::string("key '") + c + "'";
    }
    if (kind < 78) {
        const auto& [k, name] = moves[static_cast<size_t>(Uniform(0, static_cast<int>(moves.size()) - 1))];
        if (k == XK_ISO_Left_Tab)
            Tap(XK_Tab, {XK_Shift_L});
        else
            Tap(k);
        return std::string("key ") + name;
    }
    if (kind < 93) {
        const char c = typed[static_cast<size_t>(Uniform(0, 24))]; // letters only
        Tap(static_cast<KeySym>(c), {XK_Alt_L});
        return std::string("Alt+") + c;
    }
    if (kind < 98) {
        const char c = ctrl[static_cast<size_t>(Uniform(0, static_cast<int>(ctrl.size()) - 1))];
        Tap(static_cast<KeySym>(c), {XK_Control_L});
        return std::string("Ctrl+") + c;
    }
    Tap(XK_F1);
    return "key F1";
}

void Monkey::Event(long n)
{
    const std::vector<Win> ws = Windows();
    if (ws.empty()) return;
    const int kind = Uniform(0, 99);
    std::ostringstream what;
    if (kind < 7) {
        Tap(XK_Escape);
        what << "key Escape";
    } else if (kind < 58) {
        const Win w = PickWindow(ws);
        int x = 0, y = 0;
        PointIn(w, x, y);
        if (kind < 35) {
            Click(1, x, y, 1);
            what << "click";
        } else if (kind < 40) {
            Click(3, x, y, 1);
            what << "right click";
        } else if (kind < 46) {
            Click(1, x, y, 2);
            what << "double click";
        } else if (kind < 54) {
            int x1 = 0, y1 = 0;
            PointIn(w, x1, y1);
            const int steps = Uniform(2, 6);
            Drag(x, y, x1, y1, steps);
            what << "drag to (" << x1 - w.x << "," << y1 - w.y << ") from";
        } else {
            const unsigned button = Uniform(0, 1) ? 4 : 5;
            const int notches = Uniform(1, 3);
            Click(button, x, y, notches);
            what << "wheel " << (button == 4 ? "up" : "down") << " x" << notches;
        }
        what << " (" << x - w.x << "," << y - w.y << ") in \"" << w.title.substr(0, 48) << "\" " << w.w << "x" << w.h;
    } else {
        what << KeyEvent();
    }
    XSync(dpy_, False);
    Note(n, what.str());
}

void Monkey::Note(long n, const std::string& what)
{
    std::string line = "#" + std::to_string(n) + " " + what;
    if (opt_.verbose) std::printf("%s\n", line.c_str());
    last_.push_back(std::move(line));
    if (last_.size() > 20) last_.pop_front();
}

void Monkey::Fail(const std::string& why)
{
    // Let go of every button and modifier the failure may have caught pressed.
    if (dpy_) {
        for (unsigned b = 1; b <= 5; ++b) XTestFakeButtonEvent(dpy_, b, False, CurrentTime);
        XSync(dpy_, False);
    }
    std::fprintf(stderr, "quelf_monkey: FAIL at event %ld of %ld (seed %lu): %s\n", current_, opt_.events, opt_.seed,
                 why.c_str());
    std::fprintf(stderr, "last events:\n");
    for (const std::string& l : last_) std::fprintf(stderr, "  %s\n", l.c_str());
    if (!scratch_.empty()) {
        std::ifstream log(scratch_ / "program.log");
        std::deque<std::string> tail;
        for (std::string l; std::getline(log, l);) {
            tail.push_back(l);
            if (tail.size() > 30) tail.pop_front();
        }
        std::fprintf(stderr, "end of the program's output (%s):\n", (scratch_ / "program.log").c_str());
        for (const std::string& l : tail) std::fprintf(stderr, "  %s\n", l.c_str());
    }
    if (pid_ > 0) kill(-pid_, SIGKILL);
    std::exit(1);
}

int Monkey::Run()
{
    dpy_ = XOpenDisplay(nullptr);
    if (!dpy_) Fail("cannot open the X display");
    int ev = 0, err = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(dpy_, &ev, &err, &major, &minor)) Fail("the X server has no XTest extension");
    XSetErrorHandler(IgnoreXErrors);
    root_ = DefaultRootWindow(dpy_);
    screenW_ = DisplayWidth(dpy_, DefaultScreen(dpy_));
    screenH_ = DisplayHeight(dpy_, DefaultScreen(dpy_));
    pidAtom_ = XInternAtom(dpy_, "_NET_WM_PID", False);
    netName_ = XInternAtom(dpy_, "_NET_WM_NAME", False);
    utf8_ = XInternAtom(dpy_, "UTF8_STRING", False);
    XGCValues gcv{};
    gcv.foreground = kMark;
    markGc_ = XCreateGC(dpy_, root_, GCForeground, &gcv);

    MakeScratch();
    const auto began = Clock::now();
    Start();
    if (!WaitForWindow() || !Settle())
        Fail("the program showed no window within " + std::to_string(opt_.deadline) + " s");
    for (current_ = 1; current_ <= opt_.events; ++current_) {
        Event(current_);
        usleep(static_cast<useconds_t>(opt_.pauseMs) * 1000); // lets the program's timer tick between events
        if (!Settle()) {
            ++restarts_;
            Note(current_, "the program exited by itself: started again");
            Start();
            if (!WaitForWindow() || !Settle()) Fail("the program, started again, showed no window");
        }
    }
    --current_;
    if (!Answers()) Note(current_, "the program exited by itself at the end");
    const double secs = std::chrono::duration<double>(Clock::now() - began).count();
    Stop();
    std::printf("quelf_monkey: seed %lu, %ld events, %ld restarts, %.1f s%s: passed\n", opt_.seed, opt_.events,
                restarts_, secs, asNobody_ ? " (program run as nobody)" : "");
    std::error_code ec;
    fs::remove_all(scratch_, ec);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options o = ParseOptions(argc, argv);
    o.program[0] = fs::absolute(o.program[0]).string();
    for (std::string& c : o.copies) c = fs::absolute(c).string();
    signal(SIGPIPE, SIG_IGN);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return Monkey(std::move(o)).Run();
}
