// quelf --export-animation OUT.gif [--frames N] [--scale 1|2] [FILE]: one
// revolution of the driver as the main window shows the gear (the picture
// `--export main` draws, at N driver angles evenly spaced from 0 in the sense
// the gear runs), as a looping GIF. Exit status: 0 written, 1 bad arguments,
// 2 the design cannot be read, 3 the file cannot be written (nothing is left
// behind). A design that cannot be assembled at some notches gets one warning
// line on standard error.
#include "app/CommandLine.h"

#include "drawing/MainPicture.h"
#include "model/AppState.h"
#include "qt/QtAnimation.h"

#include <QTextStream>

namespace {

constexpr int kMostFrames = 3600;

int RunAnimationReport(const CommandLine& cl, QTextStream&, QTextStream& err)
{
    const QString out = cl.modeValue;
    if (!out.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive))
        return BadArguments(err, QStringLiteral("\"%1\" must end in .gif").arg(out));
    int frames = kAnimationFrames;
    if (cl.Has(QStringLiteral("frames"))) {
        const QString n = cl.Value(QStringLiteral("frames"));
        bool ok = false;
        frames = n.toInt(&ok);
        if (!ok || !n.at(0).isDigit() || frames < 2 || frames > kMostFrames)
            return BadArguments(err, QStringLiteral("--frames must be a whole number from 2 to %1").arg(kMostFrames));
    }
    int scale = 1;
    if (cl.Has(QStringLiteral("scale"))) {
        const QString n = cl.Value(QStringLiteral("scale"));
        if (n != QLatin1String("1") && n != QLatin1String("2"))
            return BadArguments(err, QStringLiteral("--scale of an animation must be 1 or 2"));
        scale = n.toInt();
    }

    AppState s;
    if (!LoadDesignOrTell(s, cl, err)) return exit_status::kDesignUnreadable;
    const QString warning = AssemblyWarning(s);
    PrepareMainPicture(s);
    MainAnimation animation(s, frames, 0);
    AnimationFrames f;
    f.count = frames;
    f.draw = [&animation](int k) { return animation.Frame(k); };
    f.scale = scale;
    f.delay = AnimationFrameDelay(frames);
    const AnimationResult r = WriteAnimation(f, out);
    if (!r.ok) return CannotWrite(err, out, r.error);
    if (!warning.isEmpty()) err << warning << "\n";
    return exit_status::kDone;
}

const ReportRegistration kAnimation{[] {
    ReportMode m;
    m.option = QStringLiteral("export-animation");
    m.valueName = QStringLiteral("OUT");
    m.description = QStringLiteral("Write one revolution of the gear as the main window shows it to OUT, a looping "
                                   "GIF.");
    m.options = {{QStringLiteral("frames"), QStringLiteral("N"),
                  QStringLiteral("Frames of the animation, evenly spaced over the revolution (default 72).")},
                 {QStringLiteral("scale"), QStringLiteral("N"), QStringLiteral("Scale of the animation: 1 or 2.")}};
    m.pictures = true;
    m.order = 50;
    m.run = RunAnimationReport;
    return m;
}()};

} // namespace
