#include <gtest/gtest.h>

#include "printing/run/silent_run.h"
#include "tests/print_run/run_fixture.h"

namespace pbp::test {

TEST(SilentRun, ReportsOneLinePerEntryAndAnExitCodeThatTellsTheOutcome) {
    struct Case {
        QStringList drawings;  // "-" marks a missing file
        bool engineFails;
        int exitCode;
    };
    for (const Case& c :
         {Case{{"/d/a.vsd", "/d/b.vsd"}, false, 0}, Case{{"/d/a.vsd", "-/d/gone.vsd"}, false, 1},
          Case{{}, false, 2}, Case{{"/d/a.vsd"}, true, 2}}) {
        RunFixture run;
        run.script.failToStart = c.engineFails;
        for (const QString& d : c.drawings)
            d.startsWith('-') ? run.view.add(d.mid(1)) : void(run.addDrawing(d));
        RunSilently(run.view);
        EXPECT_EQ(run.fake.process.exitCodes, std::vector<int>{c.exitCode});
    }
}

}  // namespace pbp::test
