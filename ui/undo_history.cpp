#include "ui/undo_history.h"

namespace thrustlet {

UndoHistory::~UndoHistory() = default;

QString UndoHistory::undoText() const { return canUndo() ? commands_[static_cast<std::size_t>(index_ - 1)]->Text() : QString(); }

QString UndoHistory::redoText() const { return canRedo() ? commands_[static_cast<std::size_t>(index_)]->Text() : QString(); }

template <typename Change>
void UndoHistory::Changing(Change&& change) {
    const bool could_undo = canUndo(), could_redo = canRedo();
    const QString undo_text = undoText(), redo_text = redoText();
    change();
    if (canUndo() != could_undo) emit canUndoChanged(canUndo());
    if (canRedo() != could_redo) emit canRedoChanged(canRedo());
    if (undoText() != undo_text) emit undoTextChanged(undoText());
    if (redoText() != redo_text) emit redoTextChanged(redoText());
}

void UndoHistory::Push(std::unique_ptr<UndoCommand> command) {
    Changing([&] {
        while (count() > index_) {
            bytes_ -= commands_.back()->Bytes();
            commands_.pop_back();
        }
        bytes_ += command->Bytes();
        commands_.push_back(std::move(command));
        ++index_;
        // The oldest changes go first; the newest always stays.
        while (count() > 1 && (count() > kMaxSteps || bytes_ > kMaxBytes)) {
            bytes_ -= commands_.front()->Bytes();
            commands_.pop_front();
            --index_;
        }
    });
}

void UndoHistory::Undo() {
    if (!canUndo()) return;
    Changing([&] {
        --index_;
        commands_[static_cast<std::size_t>(index_)]->Undo();
    });
}

void UndoHistory::Redo() {
    if (!canRedo()) return;
    Changing([&] {
        commands_[static_cast<std::size_t>(index_)]->Redo();
        ++index_;
    });
}

void UndoHistory::Clear() {
    Changing([&] {
        commands_.clear();
        index_ = 0;
        bytes_ = 0;
    });
}

}  // namespace thrustlet
