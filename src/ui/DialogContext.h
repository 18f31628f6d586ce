// What every dialog is given when it is registered: the shared state, the
// host that reaches the other dialogs, the processing command, its own
// prompter, the serial port and port map for its own link, and the clock.
// The application owns all of them for the whole run.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "acquisition/Clock.h"
#include "link/PortMap.h"
#include "link/SerialPort.h"
#include "store/UserStore.h"
#include "ui/ProcessingCommand.h"

namespace kelm {

class DialogHost;
struct SharedState;

// A serial port for a dialog's own link to the instrument.
using SerialPortFactory = std::function<std::unique_ptr<SerialPort>()>;
// Which device each COM port is, as it stands when asked.
using PortMapSource = std::function<PortMap()>;

struct DialogContext {
    SharedState& state;
    DialogHost& host;
    ProcessingCommand& processing;
    PrompterFactory makePrompter;
    SerialPortFactory makePort;
    PortMapSource portMap;
    const Clock& clock;
    // The user's titrant library and history of results.
    UserStore& store;
    // "Сохранить" of the main window, and the record's file (empty for none).
    std::function<void()> saveRecord;
    std::function<std::filesystem::path()> recordFile;
};

}  // namespace kelm
