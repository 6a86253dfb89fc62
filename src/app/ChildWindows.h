#pragma once

#include "app/ChangeKind.h"
#include "app/WindowContext.h"
#include "data/PairRenumbering.h"

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace lexaro {

// The windows that the main window opens, seen from the main window. Each window module
// implements its interface; the program installs one factory per window (main.cpp) and tests
// install fakes. A factory gets the window context (the shared objects and the main window's
// services) and the window that owns the new one.

// The one exercise window: created on the first start, then shown again for every start.
class IExerciseWindow {
public:
    virtual ~IExerciseWindow() = default;
    // Shows the window non-modally; a visible window only comes to the front.
    virtual void ShowExercise() = 0;
    virtual bool IsExerciseVisible() const = 0;
    // Closes the window; it saves what it changed.
    virtual void CloseExercise() = 0;
    // The UI language changed.
    virtual void ApplyTexts() = 0;
};

// The exercise editor, opened modally for one use.
class IExerciseEditor {
public:
    virtual ~IExerciseEditor() = default;
    // Runs the dialog; 1 when it closed with OK.
    virtual int exec() = 0;
    virtual TChangeKind GetChangeKind() const = 0;
    // When the editor wrote the exercise's language file (the one the settings named when it
    // opened), by any button and whether it then closed with OK or not: where each pair of
    // that file as it was at the opening stands in the file as last written. None when the
    // editor did not write that file.
    virtual std::optional<TPairRenumbering> ExerciseFileRenumbering() const = 0;
};

// The general settings dialog, opened modally for one use; it edits the settings in place.
class ISettingsDialog {
public:
    virtual ~ISettingsDialog() = default;
    virtual int exec() = 0;
};

// The progress window: made anew each time it is opened, so it shows the figures of then.
class IProgressWindow {
public:
    virtual ~IProgressWindow() = default;
    // Reads the figures and shows the window non-modally.
    virtual void ShowProgress() = 0;
    virtual bool IsProgressVisible() const = 0;
    // The UI language changed.
    virtual void ApplyTexts() = 0;
};

using ExerciseWindowFactory =
    std::function<std::unique_ptr<IExerciseWindow>(const TWindowContext&, QWidget* owner)>;
using ExerciseEditorFactory =
    std::function<std::unique_ptr<IExerciseEditor>(const TWindowContext&, QWidget* owner)>;
using ProgressWindowFactory =
    std::function<std::unique_ptr<IProgressWindow>(const TWindowContext&, QWidget* owner)>;
using SettingsDialogFactory =
    std::function<std::unique_ptr<ISettingsDialog>(const TWindowContext&, QWidget* owner)>;

} // namespace lexaro
