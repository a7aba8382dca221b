#include "platform/qt_dialogs.h"

#include <algorithm>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>

namespace thrustlet {

QString QtFilterFrom(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList qt_filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(';', ' ');
        if (patterns == "*.*") patterns = "*";
        qt_filters << parts[i].trimmed() + " (" + patterns + ")";
    }
    return qt_filters.join(";;");
}

MsgResult QtDialogs::MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon,
                            const QString& title) {
    QMessageBox box(icon == MsgIcon::kInformation ? QMessageBox::Information : QMessageBox::NoIcon,
                    title, text, QMessageBox::NoButton, parent_);
    switch (buttons) {
        case MsgButtons::kOk:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::kYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case MsgButtons::kYesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgResult::kYes;
        case QMessageBox::No:
            return MsgResult::kNo;
        case QMessageBox::Cancel:
            return MsgResult::kCancel;
        default:
            // Closing a Yes/No/Cancel box from its title bar means Cancel.
            return buttons == MsgButtons::kOk ? MsgResult::kOk : MsgResult::kCancel;
    }
}

FileDialogResult QtDialogs::ShowOpen(const FileDialogRequest& request) { return Show(request, false); }

FileDialogResult QtDialogs::ShowSave(const FileDialogRequest& request) { return Show(request, true); }

std::optional<QString> QtDialogs::InputBox(const QString& prompt, const QString& title, const QString& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, title, prompt, QLineEdit::Normal, value, &ok);
    if (!ok) return std::nullopt;
    return text;
}

FileDialogResult QtDialogs::Show(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent_, request.title, request.init_dir, QtFilterFrom(request.filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QString suffix = request.default_ext;
    if (suffix.startsWith('.')) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (save && !(request.flags & 0x2)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.initial_name.isEmpty()) dialog.selectFile(request.initial_name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString file = dialog.selectedFiles().first();
    return {QDir::toNativeSeparators(file), QFileInfo(file).fileName(),
            std::max(0, static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())))};
}

}  // namespace thrustlet
