// A started program for the shell's tests: the scripted prompter answers for
// the shell and, tagged with each window's object name, for every dialog.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "ui/CKelmApp.h"

namespace kelm::test {

class AppTest : public UiTest {
protected:
    // Starts the program; `fill` may give the host its dialogs first, as
    // RegisterDialogs does.
    void Start(const std::function<void(DialogHost&)>& fill = {}, QStringList words = {}) {
        AppServices services = services_;
        services.journalFolder = JournalFolder();
        services.makePrompter = [this](QWidget* owner) {
            return prompter_.For(owner != nullptr ? owner->objectName().toStdString() : "");
        };
        app_ = std::make_unique<CKelmApp>(state_, prompter_, std::move(words),
                                          Path("kelm.cfg").toStdString(), services);
        if (fill) {
            fill(app_->Dialogs());
        }
        ASSERT_EQ(app_->Start(), StartResult::Running);
        const std::function<void()> view = state_.redrawViews;
        ASSERT_TRUE(view);
        state_.redrawViews = [this, view] {
            ++redraws_;
            events_.push_back("redraw");
            view();
        };
    }

    CMainFrame& Frame() { return app_->MainFrame(); }
    std::filesystem::path JournalFolder() const { return Path("journal").toStdString(); }

    SharedState state_;
    ScriptedPrompter prompter_;
    // What a test puts in besides the prompter (port, port map, clock).
    AppServices services_;
    std::unique_ptr<CKelmApp> app_;
    int redraws_ = 0;
    // What happened, in order: "redraw", and whatever stand-in dialogs log.
    std::vector<std::string> events_;
};

}  // namespace kelm::test
