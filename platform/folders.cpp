#include "platform/folders.h"

#include <QDir>
#include <QTemporaryFile>

namespace thrustlet {

bool FolderIsWritable(const QString& folder) {
    if (folder.isEmpty() || !QDir(folder).exists()) return false;
    QTemporaryFile probe(QDir(folder).filePath(".thrustlet-write-test-XXXXXX"));
    return probe.open();  // removed again when the probe goes
}

}  // namespace thrustlet
