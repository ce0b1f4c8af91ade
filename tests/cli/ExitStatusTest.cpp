// One scheme of exit statuses for every mode: 0 done, 1 bad arguments, 2 the
// design cannot be read, 3 the output cannot be written, 4 no solution; a
// one-line reason on standard error. Also how the arguments are read.
#include "cli/CliSupport.h"

#include "files/NativeFile.h"
#include "model/Model.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ExitStatus, EveryModeFollowsOneScheme)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("none.vgw"));
    const QString picture = dir.filePath(QStringLiteral("x.svg"));
    struct Case {
        QStringList args;
        int status;
        const char* says;    // on standard error ("" : nothing)
        bool toFull = false; // standard output on a full disk
    };
    const Case cases[] = {
        {{"--valve-events"}, 0, ""},
        {{"--valve-events", missing}, 2, "none.vgw"},
        {{"--valve-events"}, 3, "cannot write the output: the disk is full", true},
        {{"--balance", "lead", "ValveRodLength"}, 3, "cannot write the output: the disk is full", true},
        {{"--balance", "lead", "ValveRodLength", missing}, 2, "none.vgw"},
        {{"--balance", "lead", "ValveRodLength", "--range", "4.5", "5"}, 4, "no solution in range"},
        {{"--export", "main", picture, missing}, 2, "none.vgw"},
        {{"--export", "sine", dir.filePath(QStringLiteral("no/such/folder/x.svg"))}, 3, "cannot write"},
        // The "=" forms: taken where an option has one value, refused where it has two.
        {{"--export=oval", picture}, 0, ""},
        {{"--balance", "lead", "ValveRodLength", "--range=3.7"}, 1, "--range takes two values"},
        {{"--balance", "lead", "ValveRodLength", "--range=3", "4"}, 1, "--range takes two values"},
        {{"--range", "3", "4"}, 1, "--range goes with --balance"},
        {{"--scale", "2", "--valve-events"}, 1, "--scale goes with --export"},
        // Qt's own options before a report are Qt's.
        {{"-platform", "offscreen", "--valve-events"}, 0, ""},
        {{"-style=fusion", "--valve-events"}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = RunQuelf(c.args, QString(), {}, c.toFull ? QStringLiteral("/dev/full") : QString());
        ASSERT_FALSE(r.crashed);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        if (*c.says) {
            EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.says))) << r.err.toStdString();
            EXPECT_EQ(r.err.section(QLatin1Char('\n'), 0, 0).isEmpty(), false);
        } else {
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        }
        if (c.status == 1) {
            EXPECT_TRUE(r.err.contains(QStringLiteral("Usage: quelf"))) << r.err.toStdString();
        }
        if (c.status != 0) {
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        }
    }
    // Help, asked for in any form, is printed by the program (not before it exists).
    for (const char* help : {"-hv", "-h", "--help"}) {
        const CliRun r = RunQuelf({QString::fromLatin1(help)});
        EXPECT_EQ(r.status, 0) << help;
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: ")) && r.out.contains(QStringLiteral("quelf")) &&
                    !r.out.contains(QStringLiteral("<executable_name>")))
            << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("4 no solution"))) << help;
    }
}

TEST(ExitStatus, ADesignThatCannotBeAssembledIsDoneWithOneWarningLine)
{
    QTemporaryDir dir;
    AppState s;
    StartupModel(s);
    s.gear.MainRodLength = 1.0f; // far too short to reach the crosshead
    const QString path = dir.filePath(QStringLiteral("short rod.vgw"));
    ASSERT_TRUE(SaveNativeFile(s, path.toStdString()).ok);
    for (const QStringList& args : {QStringList{QStringLiteral("--valve-events"), path},
                                    QStringList{QStringLiteral("--export"), QStringLiteral("port-graph"),
                                                dir.filePath(QStringLiteral("p.svg")), path}}) {
        const CliRun r = RunQuelf(args);
        EXPECT_EQ(r.status, 0) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
        // Why, at the first row's setting (mid gear): |sin a| > 1 / 1.75.
        EXPECT_EQ(r.err, QStringLiteral("quelf: warning: the gear cannot be assembled everywhere: Main rod cannot "
                                        "reach the crosshead between 35° and 145° and between 215° and 325° "
                                        "(reverse arm -0.039); the solver clamped in 40 of the 40 rows of the valve "
                                        "events table\n"));
    }
    const CliRun table = RunQuelf({QStringLiteral("--valve-events"), path});
    EXPECT_EQ(table.out.count(QStringLiteral("solver clamped")), 40);
}
