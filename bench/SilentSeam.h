// The dialog seam the window benchmarks install: a message box would stop a
// timed run, so boxes are counted instead and every dialog is cancelled.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/qt/Dialogs.h"

namespace corvellin::bench {

class SilentSeam : public DialogSeam {
public:
    int boxes = 0;
    void messageBox(QWidget*, MessageKind, const QString&, const QString&) override { ++boxes; }
    std::optional<FileDialogAnswer> fileDialog(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::uint32_t> chooseColour(QWidget*, std::uint32_t) override { return std::nullopt; }
    bool questionBox(QWidget*, const QString&, const QString&) override { return false; }
    SaveChangesAnswer saveChangesBox(QWidget*, const QString&, const QString&, const SaveChangesButtons&) override {
        return SaveChangesAnswer::Cancel;
    }
};

}  // namespace corvellin::bench
