#pragma once

// Stand-ins shared by the Qt tests: a handler that only paints, and services
// whose tables are ready at once (each test says what its solve answers).

#include <functional>

#include "ui/platform.h"
#include "ui/startup.h"

namespace fifteen::ui::testing {

class PaintingHandler : public DialogHandler {
  public:
    void onInit() override {}
    void onCommand(int) override {}
    void onTimer(int) override {}
    void onMessage(int) override {}
    void onMouse(MouseEvent, Point) override {}
    void onPaint() override {
        if (paintHook) paintHook();
    }
    void onClose() override {}
    std::function<void()> paintHook;
};

class ReadyTablesServices : public SolverServices {
  public:
    bool startPreparation(TableCallback onDone) override {
        for (const PreparedTable table :
             {PreparedTable::wdTable, PreparedTable::patternDbA, PreparedTable::patternDbB})
            onDone(table, true);
        return true;
    }
    void joinPreparation() override {}
    void releaseTables() override {}
};

}  // namespace fifteen::ui::testing
