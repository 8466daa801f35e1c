// Runs conversions in a fresh folder for the converter tests, in this process or through the
// command line tool.
//
//   ConvertFixture f;
//   std::string text = f.Import("first-version.lss");   // the .txt written from a sample
//   f.Convert(f.File("a.txt"), f.File("a.lss"));         // expects success
//   f.RunTool("--force 'a.txt' 'b.lss'")  -> exit status; what it said in f.said_
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "Converter.h"
#include "TestFiles.h"

class ConvertFixture : public ::testing::Test {
  protected:
    std::string File(const std::string& name) const { return dir_.File(name); }

    // Converts with Replace set, as the window does once the runner has said so.
    void Convert(const std::string& in, const std::string& out,
                 TimingMethod timing = TimingMethod::Automatic) {
        report_ = ConvertReport{};
        const ConvertResult result = ConvertSplitFile(in, out, timing, &report_);
        ASSERT_EQ(result.Outcome, ConvertResult::Ok) << result.Message;
    }

    // The split file written from a sample under tests/data/formats.
    std::string Import(const std::string& sample, TimingMethod timing = TimingMethod::Automatic) {
        const std::string out = File("route.txt");
        Convert(TestDataPath("formats/" + sample), out, timing);
        return ReadFile(out);
    }

    // Runs the command line tool with the given (quoted) arguments: its exit status, and in
    // said_ what it wrote to stderr and stdout. Outside AddressSanitizer, which reserves far
    // more address space, the tool may take 1 GB: a file that would cost more fails the test
    // instead of the machine.
    int RunTool(const std::string& arguments) {
#if defined(__SANITIZE_ADDRESS__)
        const std::string limit;
#else
        const std::string limit = "ulimit -v 1000000; ";
#endif
        const std::string said = "'" + File("said") + "'";
        const int status = std::system(
            (limit + QUORVEL_CONVERT + " " + arguments + " >" + said + " 2>&1").c_str());
        said_ = ReadFile(File("said"));
        std::remove(File("said").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDir dir_;
    ConvertReport report_;
    std::string said_;
};
