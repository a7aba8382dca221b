#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "platform/dialogs.h"
#include "platform/processes.h"

namespace thrustlet::testing {

// Answers message boxes and file dialogs from a script and records what was
// asked. Nothing ever blocks: an unscripted box is answered OK (or Cancel for
// a question) and counted, so a test sees it.
class ScriptedDialogs : public IDialogs {
public:
    struct Box {
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        QString title;
    };

    std::deque<MsgResult> answers;
    std::deque<FileDialogResult> files;
    std::vector<Box> boxes;
    std::vector<FileDialogRequest> file_requests;

    MsgResult MsgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) override {
        boxes.push_back({text, buttons, icon, title});
        if (!answers.empty()) {
            const MsgResult answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == MsgButtons::kOk ? MsgResult::kOk : MsgResult::kCancel;
    }
    FileDialogResult ShowOpen(const FileDialogRequest& request) override { return NextFile(request); }
    FileDialogResult ShowSave(const FileDialogRequest& request) override { return NextFile(request); }
    // Answered from `inputs` (nothing: cancelled); unscripted, the value
    // offered is taken, as OK would.
    std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& value) override {
        input_prompts.push_back(prompt);
        (void)title;
        offered.push_back(value);
        if (inputs.empty()) return value;
        const std::optional<QString> answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
    std::deque<std::optional<QString>> inputs;
    std::vector<QString> input_prompts, offered;

    QStringList Texts() const {
        QStringList texts;
        for (const auto& box : boxes) texts << box.text;
        return texts;
    }

private:
    FileDialogResult NextFile(const FileDialogRequest& request) {
        file_requests.push_back(request);
        if (files.empty()) return {};
        FileDialogResult result = files.front();
        files.pop_front();
        return result;
    }
};

// Starting a program only records it; `start_succeeds` says how it went.
// Files exist when listed.
class ScriptedProcesses : public IProcesses {
public:
    bool StartProcess(const QString& program) override {
        started.push_back(program);
        return start_succeeds;
    }
    bool FileExists(const QString& path) override { return existing_files.contains(path); }

    std::vector<QString> started;
    bool start_succeeds = true;
    QStringList existing_files;
};

}  // namespace thrustlet::testing
