// The dialog seam of the window tests: every message box is recorded, every
// file dialog request is kept, and the file and colour dialogs answer from
// queues that the test fills (an empty queue answers "cancel").
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/Dialogs.h"

namespace corvellin::test {

class RecordingSeam : public DialogSeam {
public:
    struct Box {
        MessageKind kind;
        QString title;
        QString text;
    };
    std::vector<Box> boxes;
    std::vector<FileDialogRequest> requests;
    std::deque<FileDialogAnswer> answers;
    std::deque<std::uint32_t> colours;
    // The save question and the yes/no questions: each asked one is kept; the
    // answers come from these queues. An empty queue answers Don't Save (what
    // the editor did before it asked) and No.
    struct Question {
        QString title;
        QString text;
        SaveChangesButtons buttons;
    };
    std::vector<Question> questions;
    std::deque<SaveChangesAnswer> saveAnswers;
    std::deque<bool> yesNoAnswers;

    void messageBox(QWidget*, MessageKind kind, const QString& title, const QString& text) override {
        boxes.push_back({kind, title, text});
    }
    std::optional<FileDialogAnswer> fileDialog(QWidget*, const FileDialogRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) return std::nullopt;
        FileDialogAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::uint32_t> chooseColour(QWidget*, std::uint32_t) override {
        if (colours.empty()) return std::nullopt;
        const std::uint32_t colour = colours.front();
        colours.pop_front();
        return colour;
    }

    SaveChangesAnswer saveChangesBox(QWidget*, const QString& title, const QString& text,
                                     const SaveChangesButtons& buttons) override {
        questions.push_back({title, text, buttons});
        if (saveAnswers.empty()) return SaveChangesAnswer::DontSave;
        const SaveChangesAnswer answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    bool questionBox(QWidget*, const QString& title, const QString& text) override {
        questions.push_back({title, text, {}});
        if (yesNoAnswers.empty()) return false;
        const bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }

    // The texts of the boxes so far, in order.
    QStringList texts() const {
        QStringList all;
        for (const Box& b : boxes) all << b.text;
        return all;
    }
    // The texts of the boxes since the last call, then forgets them.
    std::vector<std::string> take() {
        std::vector<std::string> taken;
        for (const Box& b : boxes) taken.push_back(b.text.toStdString());
        boxes.clear();
        return taken;
    }
};

}  // namespace corvellin::test
