#pragma once
// Runs a save once for every write, sync, close and rename it makes with that call failing, and
// once more for every write cut short as on a full disk.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "IO/FaultInjection.h"

namespace FileTest {

struct SaveCalls {
    int64_t writes = 0, syncs = 0, closes = 0, renames = 0;
};

// `prepare` sets up each run; `save` says whether it succeeded; `check` looks at what a failed
// run left. Returns the calls of the run without failures.
inline SaveCalls SweepSaveFailures(const std::function<void()>& prepare,
                                   const std::function<bool()>& save,
                                   const std::function<void(const std::string& what)>& check) {
    namespace FI = IO::FaultInjection;
    FI::Scope scope;
    prepare();
    FI::Reset();  // count the save's calls only
    EXPECT_TRUE(save()) << "the save without failures";
    const SaveCalls calls{FI::Count(FI::Write), FI::Count(FI::Sync), FI::Count(FI::Close),
                          FI::Count(FI::Rename)};
    const struct {
        const char* name;
        FI::Operation operation;
        int64_t count;
        bool cutShort;
    } kinds[] = {{"write", FI::Write, calls.writes, false},
                 {"sync", FI::Sync, calls.syncs, false},
                 {"close", FI::Close, calls.closes, false},
                 {"rename", FI::Rename, calls.renames, false},
                 {"write cut short", FI::Write, calls.writes, true}};
    for (const auto& kind : kinds) {
        for (int64_t n = 1; n <= kind.count; ++n) {
            const std::string what = std::string(kind.name) + " #" + std::to_string(n);
            SCOPED_TRACE(what);
            prepare();
            if (kind.cutShort)
                FI::CutNthWriteShort(n, 1);
            else
                FI::FailNth(kind.operation, n, IO::Err::IOError);
            EXPECT_FALSE(save());
            EXPECT_TRUE(FI::Fired());
            FI::Reset();
            check(what);
        }
    }
    return calls;
}

}  // namespace FileTest
