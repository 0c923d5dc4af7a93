#pragma once
// A resource file written by the test, open as a module, with the test's user agent installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "DG/UserAgent.h"
#include "RS.h"

template <typename Agent>
class ResourceModuleFixture : public ::testing::Test {
protected:
    ResourceModuleFixture(const char* text, const char* fileName)
        : text_(text), path(::testing::TempDir() + fileName) {}

    void SetUp() override {
        std::ofstream(path) << text_;
        module = RSOpenResourceFile(path.c_str());
        ASSERT_NE(module, kNoResModule) << RSLastError();
        DG::SetUserAgent(&agent);
    }
    void TearDown() override {
        DG::SetUserAgent(nullptr);
        RSCloseResourceFile(module);
        std::remove(path.c_str());
    }

private:
    const char* text_;

protected:
    std::string path;
    GSResModule module = kNoResModule;
    Agent agent;
};
