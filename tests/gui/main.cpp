// GoogleTest entry for the window tests: one QApplication for the whole run,
// on the offscreen platform unless the caller chose another. The settings the
// program remembers (recent designs, last folder) go to a scratch folder, so
// that no run reads the user's own or an earlier run's.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    if (!config.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("QUELF"));
    QApplication::setApplicationName(QStringLiteral("QUELF Outside Admission"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
