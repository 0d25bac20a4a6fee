#include <gtest/gtest.h>
#include <omp.h>

#include <algorithm>
#include <array>
#include <string>

#include "fifteen/version.h"
#include "tests/ui/ui_test_support.h"
#include "ui/startup.h"

namespace fifteen::ui {
namespace {

using testing::DialogRig;

struct PlacementCase {
    const char* name;
    Rect window, client;
    Point clientOrigin;
    Rect output, problem, separator;
    Rect board;
    Point clipOffset;
};

// Expected values worked by hand from the placement rule: border = (window width
// - client width) / 2; centre x midway between window left + border and the
// output box's left edge; centre y midway between the group box's bottom and the
// separator's top; both made client-relative; the board is 256 square about them.
const PlacementCase placementCases[] = {
    // The headless host's geometry: border 3, caption 26.
    {"template",
     {200, 100, 725, 483},
     {0, 0, 519, 351},
     {203, 129},
     {461, 186, 712, 449},
     {214, 129, 445, 171},
     {214, 452, 711, 454},
     {1, 54, 257, 310},
     {12, 91}},
    // Window at the screen origin with no frame: screen and client coincide.
    {"frameless",
     {0, 0, 600, 400},
     {0, 0, 600, 400},
     {0, 0},
     {300, 40, 590, 380},
     {0, 0, 280, 30},
     {0, 350, 600, 352},
     {22, 62, 278, 318},
     {30, 70}},
    // A wide frame: border 8; odd sums round down.
    {"thick frame",
     {50, 60, 666, 501},
     {0, 0, 600, 400},
     {58, 93},
     {361, 150, 650, 480},
     {60, 93, 300, 131},
     {60, 472, 650, 474},
     {23, 80, 279, 336},
     {39, 121}},
};

class PlaceBoard : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlaceBoard, CentresTheBoardBetweenTheControls) {
    const PlacementCase& c = GetParam();
    const BoardPlacement p =
        placeBoard(c.window, c.client, c.clientOrigin, c.output, c.problem, c.separator);
    EXPECT_EQ(p.board.left, c.board.left);
    EXPECT_EQ(p.board.top, c.board.top);
    EXPECT_EQ(p.board.right, c.board.right);
    EXPECT_EQ(p.board.bottom, c.board.bottom);
    EXPECT_EQ(p.clipOffset.x, c.clipOffset.x);
    EXPECT_EQ(p.clipOffset.y, c.clipOffset.y);
}

INSTANTIATE_TEST_SUITE_P(Geometries, PlaceBoard, ::testing::ValuesIn(placementCases),
                         [](const auto& testCase) {
                             std::string name = testCase.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST(StartUp, ShowsTheGoalWithEditingEnabledAndSolveDisabled) {
    DialogRig rig;
    EXPECT_EQ(rig.dialog.mode(), UiMode::idle);
    EXPECT_EQ(rig.buttons(), "SBDR---");
    EXPECT_EQ(rig.host.controlText(idStatus), "Solver = WD + PDB + OpenMP");
    EXPECT_EQ(rig.host.controlText(idSeconds), "0 sec");
    EXPECT_EQ(rig.dialog.view().board, goalBoard);
    EXPECT_EQ(rig.dialog.view().motion.tile, 0);
    EXPECT_EQ(rig.host.monospaceControl, idOutput);
    EXPECT_NE(rig.host.caption.find("fifteen"), std::string::npos);
    EXPECT_NE(rig.host.caption.find(versionString), std::string::npos);
    EXPECT_EQ(rig.services.startCount, 1);
    EXPECT_EQ(rig.dialog.view().rect().left, 1);
    EXPECT_EQ(rig.dialog.view().rect().top, 54);
    EXPECT_GT(rig.host.invalidateCount, 0);
    EXPECT_EQ(rig.host.threadViolations(), 0);
}

// The thread limit of the program's solves is the parallel runtime's, and the
// design the command line chose goes with it.
TEST(ProgramServices, SolveWithTheRuntimesThreadLimitAndTheChosenDesign) {
    for (const ParallelDesign design : {ParallelDesign::shared, ParallelDesign::items}) {
        const ProgramServices services(design);
        EXPECT_EQ(services.solveOptions().maxThreads, omp_get_max_threads());
        EXPECT_EQ(services.solveOptions().design, design);
    }
    ProgramServices services;
    EXPECT_EQ(services.solveOptions().maxThreads, omp_get_max_threads());
    EXPECT_EQ(services.solveOptions().design, ParallelDesign::shared);
}

// Solve is enabled by the last of the three messages, whatever their order, each
// sent from a build thread that waits until the dialog has handled it; mode
// changes in between must not enable it early.
class SolveGating : public ::testing::TestWithParam<std::array<PreparedTable, 3>> {};

TEST_P(SolveGating, EnabledOnlyAfterAllThreeMessages) {
    DialogRig rig;
    const std::array<int, 3> commands = {idShuffle, idBackward, idDirectDrag};
    for (size_t i = 0; i < 3; ++i) {
        const PreparedTable table = GetParam()[i];
        EXPECT_FALSE(rig.dialog.isReady(table));
        rig.services.finishFromThread(table);
        ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.dialog.isReady(table); }));
        EXPECT_EQ(rig.host.isControlEnabled(idSolve), i == 2) << "after message " << i;
        rig.host.click(commands[i]);
        EXPECT_EQ(rig.host.isControlEnabled(idSolve), i == 2) << "after command " << commands[i];
    }
    rig.services.joinPreparation();
    EXPECT_EQ(rig.host.delivered.size(), 3u);
    EXPECT_TRUE(rig.dialog.allReady());
    EXPECT_EQ(rig.host.threadViolations(), 0);
}

std::vector<std::array<PreparedTable, 3>> allOrders() {
    std::array<PreparedTable, 3> order = {PreparedTable::patternDbA, PreparedTable::patternDbB,
                                          PreparedTable::wdTable};
    std::vector<std::array<PreparedTable, 3>> orders;
    do {
        orders.push_back(order);
    } while (std::next_permutation(order.begin(), order.end()));
    return orders;
}

INSTANTIATE_TEST_SUITE_P(AllOrders, SolveGating, ::testing::ValuesIn(allOrders()));

TEST(StartUp, FailedAllocationIsShownAndSolveStaysDisabled) {
    testing::HeadlessPlatform host;
    testing::FakeServices services;
    services.allocationSucceeds = false;
    MainDialog dialog(host, services);
    host.open(dialog);
    EXPECT_TRUE(dialog.preparationFailed());
    EXPECT_EQ(host.controlText(idStatus), "No memory for the tables");
    EXPECT_NE(host.controlText(idOutput).find("could not be allocated"), std::string::npos);
    EXPECT_FALSE(host.isControlEnabled(idSolve));
    host.click(idShuffle);
    host.click(idBackward);
    EXPECT_FALSE(host.isControlEnabled(idSolve));
    EXPECT_NE(host.controlText(idOutput).find("could not be allocated"), std::string::npos);
}

TEST(StartUp, FailedBuildIsShownAndSolveStaysDisabled) {
    DialogRig rig;
    rig.services.finishFromThread(PreparedTable::patternDbA);
    rig.services.finishFromThread(PreparedTable::patternDbB, false);
    rig.services.finishFromThread(PreparedTable::wdTable);
    ASSERT_TRUE(rig.host.pumpUntil([&] { return rig.host.delivered.size() == 3; }));
    EXPECT_TRUE(rig.dialog.preparationFailed());
    EXPECT_FALSE(rig.dialog.isReady(PreparedTable::patternDbB));
    EXPECT_EQ(rig.host.controlText(idStatus), "No memory for the tables");
    EXPECT_FALSE(rig.host.isControlEnabled(idSolve));
    rig.host.click(idShuffle);
    EXPECT_FALSE(rig.host.isControlEnabled(idSolve));
}

TEST(StartUp, BlankImageIsFilledWithTheButtonFace) {
    DialogRig rig;
    const Surface& tiles = rig.dialog.view().tiles();
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(tiles.at(x, y), rig.host.buttonFace) << x << "," << y;
        }
    }
    EXPECT_EQ(tiles.at(64, 0), testing::artworkPixel(1, 0, 0));
    EXPECT_EQ(tiles.at(255, 255), testing::artworkPixel(15, 63, 63));
}

}  // namespace
}  // namespace fifteen::ui
