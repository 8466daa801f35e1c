// Which of a file's two clocks a conversion reads or writes: the real time of the run, or
// the game time (the real time without loads, measured by the game or an auto-splitter).
// Automatic reads real time unless the file holds game times only.
#pragma once

enum class TimingMethod { Automatic, RealTime, GameTime };
