#pragma once

#include <QString>

namespace thrustlet {

// Starting another program and testing for a file: the About box's tool
// lookup goes through this, so tests answer it with a stand-in.
class IProcesses {
public:
    virtual ~IProcesses() = default;
    // Starts a program as a separate process in a normal, focused window
    // without waiting for it; false when it could not be started.
    virtual bool StartProcess(const QString& program) = 0;
    // True when `path` names an existing file (not a folder).
    virtual bool FileExists(const QString& path) = 0;
};

// The real ones. On Windows a program is started as the system starts it.
// Elsewhere only an absolute path to an existing executable file is started:
// a name is never looked up through PATH or the working folder, so a
// stored path cannot start some other program.
class QtProcesses : public IProcesses {
public:
    bool StartProcess(const QString& program) override;
    bool FileExists(const QString& path) override;
};

}  // namespace thrustlet
