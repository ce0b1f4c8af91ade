// The command line of the real program, without a display.
#include "cli/CliSupport.h"

#include <gtest/gtest.h>

TEST(CommandLine, HelpAndVersionNeedNoDisplay)
{
    const CliRun help = RunQuelf({QStringLiteral("--help")});
    ASSERT_FALSE(help.crashed);
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("--valve-events"))) << help.out.toStdString();
    const CliRun version = RunQuelf({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.contains(QStringLiteral("2.6")));
}

TEST(CommandLine, BadArgumentsExitOneWithUsage)
{
    for (const QStringList& args :
         {QStringList{QStringLiteral("--no-such-option")},
          QStringList{QStringLiteral("--valve-events"), QStringLiteral("a.vgw"), QStringLiteral("b.vgw")},
          QStringList{QStringLiteral("--valve-events"), QStringLiteral("--balance"), QStringLiteral("lead")},
          QStringList{QStringLiteral("--balance"), QStringLiteral("lead"), QStringLiteral("ValveRodLength"),
                      QStringLiteral("--range"), QStringLiteral("1")},
          // The window's own command line: told before any display is needed.
          QStringList{QStringLiteral("a.vgw"), QStringLiteral("b.vgw")},
          QStringList{QStringLiteral("-platform"), QStringLiteral("xcb"), QStringLiteral("a.vgw"),
                      QStringLiteral("b.vgw")},
          QStringList{QStringLiteral("-x")}}) {
        const CliRun r = RunQuelf(args);
        ASSERT_FALSE(r.crashed) << args.join(' ').toStdString();
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage: quelf"))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}
