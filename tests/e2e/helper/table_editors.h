// The editor steps of the shared scenario table done the Windows way: dialogs found by their
// titles, controls by their ids through GetDlgItem, a chord handed to the key capture box as its
// hotkey control's word, the platform's file dialogs given a name in their file-name box, and the
// clipboard read with the platform's line ends.
#pragma once

#include <string>
#include <vector>

#include "editor_steps.h"
#include "table.h"

namespace pavix_e2e {

class TableEditors {
  public:
    TableEditors(const TableScenario& scenario, const ControlIds& ids, ScenarioContext& ctx,
                 std::size_t* icons)
        : scenario_(scenario), ids_(ids), ctx_(ctx), icons_(icons) {}

    static bool Knows(const std::string& verb);

    // What the data files hold once the scenario has written them.
    void Remember();
    // One step; `next` (null at the end) tells whether a click opens or closes a window.
    Verdict Do(const TableStep& step, const TableStep* next);
    // A placeholder's value: {mark}, {marker}, {run-folder}, {file:<name>}, or a chord's label.
    bool Name(const std::string& name, std::string* value) const;

  private:
    Verdict ControlStep(const TableStep& step);
    Verdict FileStep(const TableStep& step);
    Verdict OpenDialog(const std::string& name);
    Verdict Closed();
    Verdict Control(const std::string& name, int* id) const;
    Verdict Click(const std::string& name, const TableStep* next);
    Verdict Capture(const std::string& chord);
    Verdict Type(const std::vector<std::string>& chords);
    Verdict Focus(const std::string& name);
    Verdict Clipboard(const std::string& text);
    Verdict Showing(const std::string& name, int count);
    Verdict FindFileDialog(HWND* chooser) const;
    Verdict Choose(const std::string& file);
    Verdict Damage(const std::string& file);
    Verdict Saved(const TableStep& step);
    Verdict Backup(const std::string& file) const;
    std::string Path(const std::string& file) const;
    Verdict ExpectSoon(const std::string& file, const Bytes& expected) const;

    const TableScenario& scenario_;
    const ControlIds& ids_;
    ScenarioContext& ctx_;
    std::size_t* icons_;              // the runner's count of tray requests checked
    std::vector<Dialog> dialogs_;     // the open ones, innermost last
    std::vector<std::string> names_;  // and their names
    std::vector<std::pair<std::string, Bytes>> started_;  // files as written, absent ones left out
    std::vector<std::pair<std::string, Bytes>> damaged_;  // files as they were before "damage"
};

}  // namespace pavix_e2e
