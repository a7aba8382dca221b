#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

namespace thrustlet {

// The real dialogs: QMessageBox and QFileDialog, modal over `parent`.
class QtDialogs : public IDialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                     const QString& title) override;
    FileDialogResult ShowOpen(const FileDialogRequest& request) override;
    FileDialogResult ShowSave(const FileDialogRequest& request) override;
    std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& value) override;

private:
    FileDialogResult Show(const FileDialogRequest& request, bool save);
    QPointer<QWidget> parent_;
};

}  // namespace thrustlet
