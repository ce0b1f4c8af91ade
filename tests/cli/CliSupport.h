// Runs the real program with arguments and collects what it writes.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

struct CliRun {
    int status = -1;
    bool crashed = false;
    QString out;
    QString err;
};

inline CliRun RunQuelf(const QStringList& args, const QString& workDir = QString())
{
    QProcess p;
    p.setProgram(QStringLiteral(QUELF_BINARY));
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
