// The one place where the dialogs of the work commands join the menu.
#pragma once

namespace kelm {

class DialogHost;
class Prompter;
struct SharedState;

// Fills the slot of every dialog that exists. A dialog joins the program by
// adding its line here, e.g.
//   host.Set(WorkDialog::Entry, {.create = [&](QWidget* owner) {
//       return new CTitrationEntryDlg(state, prompter, owner); }});
//   host.Set(ModalDialog::LinkCheck, [&](QWidget* owner) {
//       CLinkCheckDlg dlg(state, prompter, owner); dlg.exec(); });
// The references stay valid for the whole run: the application owns them.
void RegisterDialogs(DialogHost& host, SharedState& state, Prompter& prompter);

}  // namespace kelm
