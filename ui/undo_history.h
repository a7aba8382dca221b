#pragma once

#include <QObject>
#include <QString>
#include <cstddef>
#include <deque>
#include <memory>

namespace thrustlet {

// One change the history can undo and redo. It has happened when it is
// pushed; `bytes` is about what it keeps in memory.
class UndoCommand {
public:
    UndoCommand(QString text, std::size_t bytes) : text_(std::move(text)), bytes_(bytes) {}
    virtual ~UndoCommand() = default;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    const QString& Text() const { return text_; }
    std::size_t Bytes() const { return bytes_; }

private:
    QString text_;
    std::size_t bytes_;
};

// The edit history: changes in order, a place among them, and limits on
// what it keeps. Past kMaxSteps changes or kMaxBytes of memory the oldest
// go, so a long session with a large motor never grows without bound.
class UndoHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxSteps = 1000;
    static constexpr std::size_t kMaxBytes = std::size_t{50} << 20;

    explicit UndoHistory(QObject* parent = nullptr) : QObject(parent) {}
    ~UndoHistory() override;

    // Adds a change that has happened; the changes undone before it go.
    void Push(std::unique_ptr<UndoCommand> command);
    void Undo();
    void Redo();
    void Clear();

    // The names the window's Edit items and tests know them by.
    int count() const { return static_cast<int>(commands_.size()); }
    int index() const { return index_; }
    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < count(); }
    QString undoText() const;
    QString redoText() const;
    std::size_t Bytes() const { return bytes_; }

signals:
    void canUndoChanged(bool can_undo);
    void canRedoChanged(bool can_redo);
    void undoTextChanged(const QString& text);
    void redoTextChanged(const QString& text);

private:
    // Runs `change`, then says what changed about the Edit items.
    template <typename Change>
    void Changing(Change&& change);

    std::deque<std::unique_ptr<UndoCommand>> commands_;
    int index_ = 0;  // commands before it are done
    std::size_t bytes_ = 0;
};

}  // namespace thrustlet
