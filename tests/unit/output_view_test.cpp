// The running command's output in the output box: shown as it arrives, gathered while appending
// it is slow, and completed at the end with the text the runner collected.

#include "window/output_view.h"

#include <gtest/gtest.h>

#include <chrono>

#include "fake_window.h"

namespace quorlane::window {
namespace {

using namespace std::chrono_literals;

class OutputViewTest : public ::testing::Test {
 protected:
  std::string& box() { return controls.texts[ControlId::CMDTeXT]; }

  testing::FakeControls controls;
  Clock::time_point now = Clock::time_point{} + 1h;
  ClockSource clock = [this] { return now; };
  OutputView view{controls, clock};
};

TEST_F(OutputViewTest, PiecesAreAppendedAsTheyComeAndTheEndAddsTheRestOfTheCollectedText) {
  box() = "old\r\n";
  view.begin();
  view.add("Sending 'rec");
  EXPECT_EQ(box(), "old\r\nSending 'rec\r\n");
  now += 1s;
  view.add("overy'");
  EXPECT_EQ(box(), "old\r\nSending 'rec\r\novery'\r\n");
  view.end("Sending 'rec\r\novery'\r\n\r\n");
  EXPECT_EQ(box(), "old\r\nSending 'rec\r\novery'\r\n\r\n");
  // What is read from the output is the text as the client wrote it, whole across the reads.
  EXPECT_EQ(view.written(), "Sending 'recovery'");
  // A command that prints nothing adds only the runner's one CR LF, and has written nothing.
  view.begin();
  view.end("\r\n");
  EXPECT_EQ(box(), "old\r\nSending 'rec\r\novery'\r\n\r\n\r\n");
  EXPECT_EQ(view.written(), "");
}

TEST_F(OutputViewTest, LiveOutputIsGatheredWhileAppendsAreSlowWithoutChangingTheFinalText) {
  // Appends that take no time: shown at most every 50 ms, also when the command falls silent.
  view.begin();
  view.add("A");
  now += 49ms;
  view.add("B");
  view.tick();
  EXPECT_EQ(box(), "A\r\n");
  now += 1ms;
  view.tick();
  EXPECT_EQ(box(), "A\r\nB\r\n");
  // Every append takes a second: the next one waits twenty times as long after it.
  controls.onAppend = [this] { now += 1s; };
  now += 50ms;
  view.add("C");
  view.add("D");
  now += 19s;
  view.tick();
  EXPECT_EQ(box(), "A\r\nB\r\nC\r\n");
  now += 1s;
  view.add("E");
  EXPECT_EQ(box(), "A\r\nB\r\nC\r\nD\r\nE\r\n");
  view.add("F");
  view.end("A\r\nB\r\nC\r\nD\r\nE\r\nF\r\n\r\n");
  EXPECT_EQ(box(), "A\r\nB\r\nC\r\nD\r\nE\r\nF\r\n\r\n");
  EXPECT_EQ(controls.appends, 5);  // A; B; C; D and E; F with the closing line break
}

// A built-in button empties the box in the middle of a command: later pieces show in the empty
// box, and at the end the whole output replaces them.
TEST_F(OutputViewTest, ABoxEmptiedDuringACommandShowsAllOfItsOutputAtTheEnd) {
  box() = "devices\r\n";
  view.begin();
  view.add("A");
  now += 1s;
  view.add("B");
  view.clear(true);
  EXPECT_EQ(box(), "");
  now += 1s;
  view.add("C");
  EXPECT_EQ(box(), "C\r\n");
  view.end("A\r\nB\r\nC\r\n\r\n");
  EXPECT_EQ(box(), "A\r\nB\r\nC\r\n\r\n");
}

}  // namespace
}  // namespace quorlane::window
