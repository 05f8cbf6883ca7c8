#pragma once
// What the job list window and the table chooser ask of the main window. The main window
// implements it; tests give a fake.

#include <string>

namespace tabrook {

class JobWindowOwner {
public:
    virtual ~JobWindowOwner() = default;

    // The session is logged on (Execute needs it).
    virtual bool Connected() const = 0;
    // Starts the job-list run of the selected jobs: disables the main window's panels and grid,
    // synchronizes the job list and starts the transfer thread.
    virtual void StartJobListRun() = 0;
    // Shows the current transfer settings in the main window's controls again (after a list
    // file was loaded, which may change them).
    virtual void ShowSettings() = 0;
    // Switches the main window to mode (0 Import, 1 Export), as its mode buttons do.
    virtual void SwitchMode(int mode) = 0;
    // Puts table into the table field and previews it, as Enter there does.
    virtual void SetTableAndPreview(const std::string& table) = 0;
    // Puts csv into the CSV field and previews it (in Import mode), as Enter there does.
    virtual void SetCsvAndPreview(const std::string& csv) = 0;
    // The main window's key handler for Esc (asks a running transfer to stop when allowed).
    virtual void EscapePressed() = 0;
    // The initial folder of the main window's CSV open dialog.
    virtual std::string CsvOpenFolder() const = 0;
};

}  // namespace tabrook
