// Runs the real program with arguments and collects what it writes.
#pragma once

#include "files/NativeFile.h"
#include "model/DesignEdit.h"
#include "model/Model.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct CliRun {
    int status = -1;
    bool crashed = false;
    QString out;
    QString err;
};

// `env`: variables set for the run ("NAME=value"); `stdoutFile`: standard
// output goes to that file instead of the run's `out`.
inline CliRun RunQuelf(const QStringList& args, const QString& workDir = QString(), const QStringList& env = {},
                       const QString& stdoutFile = QString())
{
    QProcess p;
    if (!stdoutFile.isEmpty()) p.setStandardOutputFile(stdoutFile);
    p.setProgram(QStringLiteral(QUELF_BINARY));
    if (!env.isEmpty()) {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const QString& v : env) e.insert(v.section(QLatin1Char('='), 0, 0), v.section(QLatin1Char('='), 1));
        p.setProcessEnvironment(e);
    }
    p.setArguments(args);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start();
    CliRun r;
    if (!p.waitForStarted(30000) || !p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        r.crashed = true;
        return r;
    }
    r.crashed = p.exitStatus() != QProcess::NormalExit;
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The built-in design with one dimension stored as a dialog stores it and
// re-centred, saved as `name` in `dir`; its path.
inline QString SavedDesign(const QTemporaryDir& dir, const char* name, int code, float value)
{
    AppState s;
    StartupModel(s);
    StoreDimensionValue(s.gear, code, value);
    RecomputeRevArmCentre(s.gear);
    const QString path = dir.filePath(QString::fromLatin1(name));
    EXPECT_TRUE(SaveNativeFile(s, QFile::encodeName(path).toStdString()).ok);
    return path;
}
