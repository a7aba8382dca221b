#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace thrustlet {

// Message boxes and file dialogs: everything that waits for the user goes
// through this interface, so window flows run headless in tests with a
// scripted stand-in.
enum class MsgButtons { kOk, kYesNo, kYesNoCancel };
enum class MsgIcon { kNone, kInformation };
enum class MsgResult { kOk, kYes, kNo, kCancel };

// Settings of the open and save dialogs.
struct FileDialogRequest {
    // Description and pattern pairs separated by "|", e.g.
    // "Thrustlet Files(*.tlt)| *.tlt| All Files(*.*)| *.*".
    QString filter;
    QString init_dir;     // folder shown first; "" leaves the choice to the dialog
    QString default_ext;  // appended to a typed name without extension (".tlt")
    QString title;
    uint32_t flags = 0;   // 0x2 asks before overwriting, 0x800 folder must exist
    QString initial_name;  // the file name offered first ("" offers none)
};

struct FileDialogResult {
    QString file_name;   // "" when the user cancelled
    QString file_title;  // the chosen file's name without its folder
    int filter_index = 0;  // the file type chosen: its place in the filter's pairs
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    virtual MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                             const QString& title) = 0;
    virtual FileDialogResult ShowOpen(const FileDialogRequest& request) = 0;
    virtual FileDialogResult ShowSave(const FileDialogRequest& request) = 0;
    // A line of text asked for, offered as `value`: what the user gave, or
    // nothing when they cancelled. Stand-ins that ask no one take `value`.
    virtual std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& value) {
        (void)prompt;
        (void)title;
        return value;
    }
};

// Turns a "desc| pattern| desc| pattern" filter into Qt's "desc (pattern);;..." form.
QString QtFilterFrom(const QString& filter);

}  // namespace thrustlet
