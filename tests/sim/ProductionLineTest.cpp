#include "tools/vorenta-sim/ProductionLine.h"

#include <gtest/gtest.h>

namespace vorenta::sim {
namespace {

using Action = ParsedCommandLine::Action;

TEST(SimProductionLine, ModulesAndTheFaultModuleAreParsedAndChecked) {
    const auto parsed =
        ParseCommandLine({"--modules", "3", "--fault-module=2", "--no-reply-page", "1"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
    EXPECT_EQ(parsed.options.modules, 3U);
    EXPECT_EQ(parsed.options.faultModule, 2U);
    EXPECT_EQ(ParseCommandLine({}).options.modules, 1U);

    for (const auto& args :
         std::vector<std::vector<std::string_view>>{{"--modules", "0"},
                                                    {"--modules", "x"},
                                                    {"--fault-module", "0"},
                                                    {"--fault-module", "2"},  // only one module
                                                    {"--modules", "3", "--fault-module", "4"}}) {
        EXPECT_EQ(ParseCommandLine(args).action, Action::Error) << args.back();
    }
}

TEST(SimProductionLine, EachModuleWritesItsOwnNumberedImage) {
    EXPECT_EQ(ModuleImagePath("out/received.bin", 1, 1), "out/received.bin");
    EXPECT_EQ(ModuleImagePath("out/received.bin", 2, 3), "out/received-2.bin");
    EXPECT_EQ(ModuleImagePath("out.d/received", 12, 50), "out.d/received-12");
    EXPECT_EQ(ModuleImagePath("/tmp/.image", 1, 2), "/tmp/.image-1");
    EXPECT_EQ(ModuleImagePath("a.tar.gz", 3, 3), "a.tar-3.gz");
    EXPECT_EQ(ModuleImagePath("", 2, 3), "");
}

TEST(SimProductionLine, FaultsApplyToTheChosenModuleOnly) {
    SimOptions options;
    options.modules = 3;
    options.imagePath = "r.bin";
    options.faults.noReady = true;
    options.faults.retryPages[1] = 2;
    options.faultModule = 2;
    EXPECT_FALSE(OptionsForModule(options, 1).faults.noReady);
    EXPECT_TRUE(OptionsForModule(options, 1).faults.retryPages.empty());
    EXPECT_TRUE(OptionsForModule(options, 2).faults.noReady);
    EXPECT_EQ(OptionsForModule(options, 2).faults.retryPages.at(1), 2U);
    EXPECT_EQ(OptionsForModule(options, 3).imagePath, "r-3.bin");

    options.faultModule.reset();
    for (unsigned module = 1; module <= 3; ++module) {
        EXPECT_TRUE(OptionsForModule(options, module).faults.noReady) << module;
    }
}

}  // namespace
}  // namespace vorenta::sim
