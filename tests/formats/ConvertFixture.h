// Runs conversions in a fresh folder for the converter tests.
//
//   ConvertFixture f;
//   std::string text = f.Import("first-version.lss");   // the .txt written from a sample
//   f.Convert(f.File("a.txt"), f.File("a.lss"));         // expects success
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Converter.h"
#include "TestFiles.h"

class ConvertFixture : public ::testing::Test {
  protected:
    std::string File(const std::string& name) const { return dir_.File(name); }

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

    TempDir dir_;
    ConvertReport report_;
};
