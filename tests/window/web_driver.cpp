// The window scenarios played on the web page: each method of the driver is
// one line to tests/web/browser.py, which does it in a browser (Chromium,
// Firefox or WebKitGTK) with real keys and clicks and answers with one line.
// Run by that script, which gives this program the two pipes:
//   browser.py [--engine=ENGINE] PAGE LANGUAGE play node velsona_window_web_tests.js
#include <emscripten.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/window/scenarios.h"

// The pipes through node's own file functions: the C library's files read
// and write at a position, which a pipe refuses. AskOverPipes sends one
// command line and reads the reply's line, without its end, into `reply`
// (cut at `size` bytes); gives its length.
EM_JS(int, OpenPipe, (const char* path, int forWriting),
      { return require('fs').openSync(UTF8ToString(path), forWriting ? 'w' : 'r'); });
EM_JS(int, AskOverPipes, (int commands, int replies, const char* line, char* reply, int size), {
  const fs = require('fs'), byte = new Uint8Array(1);
  fs.writeSync(commands, UTF8ToString(line) + '\n');
  let length = 0;
  while (fs.readSync(replies, byte, 0, 1, null) === 1 && byte[0] !== 10)
    if (length < size) HEAPU8[reply + length++] = byte[0];
  return length;
});

namespace velsona::window_tests {
namespace {

class WebDriver : public Driver {
 public:
  WebDriver(int commands, int replies) : commands_(commands), replies_(replies) {}

  // What the browser could not do in this scenario, told with its faults.
  std::vector<std::string> errors;
  // Why the browser left this scenario out: something its engine cannot do
  // here. Empty when it played it.
  std::string leftOut;

  void Open(const std::string& separator) override { Ask({"open", separator}); }
  void Close() override { Ask({"close"}); }
  void SetSeparator(const std::string& separator) override { Ask({"separator", separator}); }
  void Type(const char* control, const std::string& text) override { Ask({"type", control, text}); }
  // The text percent-encoded: it may hold the tabs and line breaks that end a field or a line.
  void Paste(const char* control, const std::string& text) override {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char byte : text) {
      const auto c = static_cast<unsigned char>(byte);
      if (std::isalnum(c) != 0) {
        encoded += static_cast<char>(c);
      } else {
        encoded += {'%', kHex[c >> 4], kHex[c & 15]};
      }
    }
    Ask({"paste", control, encoded});
  }
  void Click(const char* control) override { Ask({"click", control}); }
  void Press(Key key) override {
    Ask({"press", key == Key::Tab ? "tab" : key == Key::ShiftTab ? "shifttab" : key == Key::Enter ? "enter" : "space"});
  }
  std::string Text(const char* control) override { return Ask({"text", control})[0]; }
  bool Ticked(const char* control) override { return Ask({"ticked", control})[0] == "1"; }
  std::string Focused() override { return Ask({"focused"})[0]; }
  bool KeepsTabInside() override { return false; }
  std::vector<std::string> ReadingOrder() override { return Ask({"reading"}, 0); }
  std::string DoubleClickSelection(const char* control) override { return Ask({"doubleclick", control})[0]; }
  std::optional<Warning> TakeWarning() override {
    const auto reply = Ask({"warning"});
    if (reply[0] != "1") return std::nullopt;
    return Warning{reply[1], reply[2], reply[3] == "1", reply[4] == "1"};
  }
  Rgb Background(const char* control) override {
    const auto n = Numbers(Ask({"background", control}));
    return {n[0], n[1], n[2]};
  }
  Rect Place(const char* control) override {
    const auto n = Numbers(Ask({"place", control}));
    return {n[0], n[1], n[2], n[3]};
  }
  double Scale() override { return std::atof(Ask({"scale"})[0].c_str()); }
  WindowFacts Facts() override {
    const auto reply = Ask({"facts"});
    const auto n = Numbers(reply);
    return {reply[0], n[1], n[2], n[3] != 0, n[4] != 0, n[5] != 0, n[6], n[7]};
  }
  std::vector<std::string> CutOffCaptions() override { return Ask({"cutoff"}, 0); }
  FieldLook Look(const char* control) override {
    const auto reply = Ask({"look", control});
    const auto n = Numbers(reply);
    return {n[0] != 0, n[1] != 0, std::atof(reply[2].c_str()), {n[3], n[4], n[5]}, {n[6], n[7], n[8]}};
  }
  std::string Tooltip(const char* control) override { return Ask({"tooltip", control})[0]; }
  void UseDarkColours() override { Ask({"dark"}); }
  std::string Announced() override { return Ask({"announced"})[0]; }

 private:
  // Sends one command; gives the reply's fields after "ok", at least
  // `fields` of them, empty where the browser sent fewer.
  std::vector<std::string> Ask(const std::vector<std::string>& command, std::size_t fields = 9) {
    std::string line;
    for (const std::string& field : command) line += (line.empty() ? "" : "\t") + field;
    static char reply[1 << 16];
    const int length = AskOverPipes(commands_, replies_, line.c_str(), reply, static_cast<int>(sizeof reply));
    std::istringstream in(std::string(reply, static_cast<std::size_t>(length)));
    std::vector<std::string> result;
    // Fields are separated by tabs; a line break in one comes as a backslash and "n".
    for (std::string field; std::getline(in, field, '\t');) {
      for (std::size_t at; (at = field.find("\\n")) != std::string::npos;) field.replace(at, 2, "\n");
      result.push_back(field);
    }
    if (!result.empty() && result.front() == "skip") {
      if (leftOut.empty()) leftOut = result.size() > 1 ? result[1] : "?";
      result.assign(1, "");
    } else if (result.empty() || result.front() != "ok") {
      errors.push_back(command.front() + ": " + (result.size() > 1 ? result[1] : "no reply"));
      result.assign(1, "");
    }
    result.erase(result.begin());
    result.resize(std::max(result.size(), fields));
    return result;
  }
  static std::vector<int> Numbers(const std::vector<std::string>& fields) {
    std::vector<int> numbers;
    for (const std::string& field : fields) numbers.push_back(std::atoi(field.c_str()));
    return numbers;
  }

  int commands_;
  int replies_;
};

}  // namespace
}  // namespace velsona::window_tests

int main(int argc, char** argv) {
  using namespace velsona::window_tests;
  if (argc < 3) {
    std::fputs("usage: velsona_window_web_tests COMMANDS_PIPE REPLIES_PIPE\n", stderr);
    return 2;
  }
  // The same order as browser.py's: the commands first, then the replies.
  WebDriver driver(OpenPipe(argv[1], 1), OpenPipe(argv[2], 0));
  const std::vector<Scenario> scenarios = WindowScenarios();
  int failed = 0, leftOut = 0;
  for (const Scenario& scenario : scenarios) {
    driver.errors.clear();
    driver.leftOut.clear();
    std::vector<std::string> faults = Play(driver, scenario);
    if (!driver.leftOut.empty()) {
      // What follows a step the browser could not do says nothing.
      std::printf("left out: %s (%s)\n", scenario.name.c_str(), driver.leftOut.c_str());
      ++leftOut;
      continue;
    }
    faults.insert(faults.end(), driver.errors.begin(), driver.errors.end());
    if (!faults.empty()) std::printf("FAILED: %s\n", scenario.name.c_str());
    for (const std::string& fault : faults) std::printf("  %s\n", fault.c_str());
    failed += faults.empty() ? 0 : 1;
  }
  std::printf("%zu of %zu scenarios passed, %d left out\n",
              scenarios.size() - static_cast<std::size_t>(failed + leftOut), scenarios.size(), leftOut);
  return failed == 0 ? 0 : 1;
}
