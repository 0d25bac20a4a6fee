// runBench over short lists of quick standard instances: the documented failure
// for a wrong length, and a signature that does not move from run to run.
#include "cli/bench.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "search/preparation.h"

namespace fifteen::cli {
namespace {

class BenchTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static Preparation preparation;
        static const bool built = preparation.start([](PreparedTable) {}) &&
                                  (preparation.join(), preparation.allSucceeded());
        ASSERT_TRUE(built);
    }
};

// Milliseconds each on one thread.
std::vector<StandardInstance> quickInstances() {
    return {standardInstance(12), standardInstance(55), standardInstance(79)};
}

uint64_t signatureOf(const std::string& out) {
    const std::string label = "Node signature: ";
    const std::size_t at = out.find(label);
    return at == std::string::npos ? 0 : std::stoull(out.substr(at + label.size()));
}

TEST_F(BenchTest, OneWrongLengthFailsWithItsMessage) {
    std::vector<StandardInstance> instances = quickInstances();
    instances[1].length += 2;
    std::ostringstream out;
    Solver solver;
    EXPECT_EQ(runBench(solver, instances, 1, out), 1);
    EXPECT_NE(out.str().find("1 instance(s) with a wrong length"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("WRONG LENGTH"), std::string::npos);
}

TEST_F(BenchTest, RightLengthsSucceedWithAStableSignature) {
    // With a fixed thread count the signature does not depend on timing.
    std::map<int, uint64_t> signatures;
    Solver solver;
    for (const int threads : {1, 2, 1, 2}) {
        std::ostringstream out;
        EXPECT_EQ(runBench(solver, quickInstances(), threads, out), 0) << out.str();
        EXPECT_EQ(out.str().find("WRONG"), std::string::npos) << out.str();
        const uint64_t signature = signatureOf(out.str());
        EXPECT_GT(signature, 0u) << out.str();
        const auto [earlier, isFirst] = signatures.emplace(threads, signature);
        if (!isFirst) {
            EXPECT_EQ(signature, earlier->second) << threads << " threads";
        }
    }
}

}  // namespace
}  // namespace fifteen::cli
