#include "qt/QtDesktop.h"

#include "platform/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kRecentKey = QStringLiteral("RecentDesigns");
const QString kFolderKey = QStringLiteral("LastFolder");

// A path as the file system names it: wide texts on Windows, the local
// encoding elsewhere.
std::filesystem::path FsPath(const QString& p)
{
#ifdef _WIN32
    return std::filesystem::path(p.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(p).toStdString());
#endif
}

QString FromFsPath(const std::filesystem::path& p)
{
#ifdef _WIN32
    return QString::fromStdWString(p.wstring());
#else
    return QFile::decodeName(p.string().c_str());
#endif
}

} // namespace

QString DataFilePath(const QString& name)
{
    // Without an application object the executable's folder is not known.
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    const std::filesystem::path found =
        FindDataFile(name.toStdString(), DataFolders(FsPath(QDir::currentPath()), FsPath(exeDir)));
    if (found.empty()) return QDir::current().absoluteFilePath(name);
    return QFileInfo(FromFsPath(found)).absoluteFilePath();
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int n : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quelf-%1.png").arg(n), QSize(n, n));
    return icon;
}

QStringList LoadRecentDesigns(int limit)
{
    QStringList list = QSettings().value(kRecentKey).toStringList();
    list.removeAll(QString());
    return list.mid(0, limit);
}

void StoreRecentDesigns(const QStringList& paths) { QSettings().setValue(kRecentKey, paths); }

QString FileDialogFolder()
{
    const QString last = QSettings().value(kFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!docs.isEmpty() && QFileInfo(docs).isDir()) return docs;
    return QDir::homePath();
}

void RememberFileDialogFolder(const QString& folder) { QSettings().setValue(kFolderKey, folder); }
