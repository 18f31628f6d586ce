// The one place where the dialogs join the menu.
#pragma once

namespace kelm {

class DialogHost;
struct DialogContext;

// Gives the host the factory of every dialog that exists, e.g.
//   factories.entry = [&context](QWidget* owner) {
//       return new CTitrationEntryDlg(context, owner); };
//   factories.linkCheck = [&context](QWidget* owner) {
//       CLinkCheckDlg dlg(context, owner); dlg.exec(); };
// The context stays valid for the whole run: the application owns it.
void RegisterDialogs(DialogHost& host, const DialogContext& context);

}  // namespace kelm
