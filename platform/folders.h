#pragma once

#include <QString>

namespace thrustlet {

// Whether the user can make files in `folder`: a file is made there and
// removed again, since a folder's attributes do not tell (on Windows,
// Program Files reads as writable but refuses a user's files).
bool FolderIsWritable(const QString& folder);

}  // namespace thrustlet
