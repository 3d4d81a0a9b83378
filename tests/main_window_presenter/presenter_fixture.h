#pragma once
// frmPorts on a fake window and in-memory services: an empty machine, a shell with a system
// folder, the program "Velmaro" 1.0.7, no other running copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_main_window.h"
#include "main_window/frm_ports.h"
#include "memory/memory_file_system.h"
#include "memory/memory_machine.h"
#include "memory/memory_program.h"
#include "memory/memory_shell.h"
#include "support/fakes.h"

namespace velmaro::testing {

class FakeSingleInstance : public ISingleInstance {
  public:
    bool AnotherInstanceRunning() override {
        ++questions;
        return otherRunning;
    }
    bool otherRunning = false;
    int questions = 0;
};

class PresenterTest : public ::testing::Test {
  protected:
    PresenterTest() {
        shell.SetFolder(kCsidlSystem, "C:\\WINDOWS\\system32");
        view.onResize = [this] { presenter.Form_Resize(); };
        presenter.hdlMain().OnLayout([this] { view.log.Add("hdlMain.Width=" + Twips(presenter.hdlMain().Width())); });
    }

    // Loaded and laid out at the design size, as after the first showing; the log starts empty.
    void Start() {
        ASSERT_TRUE(presenter.Form_Load());
        view.UserResizes(kMinOuterWidth, kMinOuterHeight);
        view.log.entries.clear();
    }

    std::vector<std::string>& Log() { return view.log.entries; }

    memory::MemoryMachine machine;
    FixedClock clock;
    memory::MemoryShell shell;
    memory::FixedProgramIdentity identity{"Velmaro", "C:\\Programme\\Velmaro", {1, 0, 7}};
    FakeSingleInstance instance;
    memory::MemoryFileSystem files;
    memory::ManualClock monotonic;
    memory::SteppingEventPump pump{monotonic, 0.25f};
    FakeMainWindow view;
    frmPorts presenter{view, {machine, machine, clock, shell, identity, instance, files, monotonic, pump}};
};

}  // namespace velmaro::testing
