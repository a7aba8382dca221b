#include "platform/processes.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace thrustlet {

bool QtProcesses::StartProcess(const QString& program) {
#ifndef _WIN32
    const QFileInfo file(program);
    if (program.isEmpty() || !file.isAbsolute() || !file.isFile() || !file.isExecutable()) return false;
#endif
    return QProcess::startDetached(program, QStringList());
}

bool QtProcesses::FileExists(const QString& path) { return QFileInfo(path).isFile(); }

}  // namespace thrustlet
