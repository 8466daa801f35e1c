// A split file written to a fresh folder and loaded, for the reader and writer tests.
//
//   Load("0\t0\nDesc\tBest Splits\nA\t1.00\n");   // dir.File("runs.txt"), loaded by engine
//   LoadCopyOf("round-trip.txt");                 // a file kept under tests/data
//   engine.SaveSplitData(); Saved();              // the bytes written back
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "QuorvelEngine.h"
#include "TestFiles.h"

class SplitFileFixture : public ::testing::Test {
  protected:
    void Load(const std::string& text, const std::string& name = "runs.txt") {
        WriteFile(dir.File(name), text);
        engine.LoadSplitData(dir.File(name));
    }
    void LoadCopyOf(const std::string& dataFile) { Load(ReadFile(TestDataPath(dataFile))); }
    std::string Saved() const { return ReadFile(dir.File("runs.txt")); }

    TempDir dir;
    QuorvelClass engine{"/apps/q/"};
};
