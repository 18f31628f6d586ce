// The processing run as the program starts it, and the processing request of
// the processing and results dialogs. Every "Расчёт" and OK calls one of the
// two; none repeats what they do.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "core/Prompter.h"

namespace kelm {

class DialogHost;
struct SharedState;

// A prompter whose boxes are owned by the given window.
using PrompterFactory = std::function<std::unique_ptr<Prompter>(QWidget* owner)>;

class ProcessingCommand {
public:
    ProcessingCommand(SharedState& state, DialogHost& host, PrompterFactory makePrompter);

    // Runs the engine. Too few points and no point found are told in an
    // information box owned by `owner`; the processing dialog, when it exists,
    // shows the grid size used; a completed run redraws the graph and shows
    // the results window with the equivalence points. Returns the engine's
    // result (0, 1 or 2).
    int RunProcessing(QWidget* owner);

    // OK of the processing dialog and "Расчёт" of the results dialog: with
    // fewer than three points nothing happens; otherwise the entry dialog is
    // created if need be and shown, and the run is owned by it (by the
    // requesting dialog while there is no entry dialog).
    void RequestProcessing(QWidget* requester);

private:
    SharedState& state_;
    DialogHost& host_;
    PrompterFactory makePrompter_;
};

}  // namespace kelm
