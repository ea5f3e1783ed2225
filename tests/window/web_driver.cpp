// The window scenarios played on the web page: each method of the driver is
// one line to tests/web/browser.py, which does it in headless Chromium with
// real keys and clicks and answers with one line. Run by that script, which
// gives this program the two pipes:
//   browser.py PAGE LANGUAGE play node velsona_window_web_tests.js
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/window/scenarios.h"

// The pipes through node's own file functions: the C library's files read
// and write at a position, which a pipe refuses.
EM_JS(int, OpenPipe, (const char* path, int forWriting),
      { return require('fs').openSync(UTF8ToString(path), forWriting ? 'w' : 'r'); });
EM_JS(int, ReadPipe, (int fd, char* buffer, int size), { return require('fs').readSync(fd, HEAPU8, buffer, size, null); });
EM_JS(void, WritePipe, (int fd, const char* text), { require('fs').writeSync(fd, UTF8ToString(text)); });

namespace velsona::window_tests {
namespace {

// A reply's fields: separated by tabs, a line break written as a backslash and "n".
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\t') {
      fields.emplace_back();
    } else if (line.compare(i, 2, "\\n") == 0) {
      fields.back() += '\n';
      ++i;
    } else {
      fields.back() += line[i];
    }
  }
  return fields;
}

class WebDriver : public Driver {
 public:
  WebDriver(int commands, int replies) : commands_(commands), replies_(replies) {}

  // What the browser could not do in this scenario, told with its faults.
  std::vector<std::string> errors;

  void Open(const std::string& separator) override { Ask({"open", separator}); }
  void Close() override { Ask({"close"}); }
  void SetSeparator(const std::string& separator) override { Ask({"separator", separator}); }
  void Type(const char* control, const std::string& text) override { Ask({"type", control, text}); }
  void Click(const char* control) override { Ask({"click", control}); }
  void Press(Key key) override { Ask({"press", key == Key::Tab ? "tab" : key == Key::Enter ? "enter" : "space"}); }
  std::string Text(const char* control) override { return Field(Ask({"text", control}), 0); }
  bool Ticked(const char* control) override { return Field(Ask({"ticked", control}), 0) == "1"; }
  std::string Focused() override { return Field(Ask({"focused"}), 0); }
  std::optional<Warning> TakeWarning() override {
    const auto reply = Ask({"warning"});
    if (Field(reply, 0) != "1") return std::nullopt;
    return Warning{Field(reply, 1), Field(reply, 2), Field(reply, 3) == "1", Field(reply, 4) == "1"};
  }
  Rgb Background(const char* control) override {
    const auto reply = Ask({"background", control});
    return {Number(reply, 0), Number(reply, 1), Number(reply, 2)};
  }
  Rect Place(const char* control) override {
    const auto reply = Ask({"place", control});
    return {Number(reply, 0), Number(reply, 1), Number(reply, 2), Number(reply, 3)};
  }
  double Scale() override { return std::atof(Field(Ask({"scale"}), 0).c_str()); }
  WindowFacts Facts() override {
    const auto reply = Ask({"facts"});
    WindowFacts facts;
    facts.title = Field(reply, 0);
    facts.clientWidth = Number(reply, 1);
    facts.clientHeight = Number(reply, 2);
    facts.resizable = Number(reply, 3) != 0;
    facts.maximisable = Number(reply, 4) != 0;
    facts.hasIcon = Number(reply, 5) != 0;
    facts.offCentreX = Number(reply, 6);
    facts.offCentreY = Number(reply, 7);
    return facts;
  }
  std::vector<std::string> CutOffCaptions() override { return Ask({"cutoff"}); }
  FieldLook Look(const char* control) override {
    const auto reply = Ask({"look", control});
    return {Number(reply, 0) != 0, Number(reply, 1) != 0, std::atof(Field(reply, 2).c_str()),
            {Number(reply, 3), Number(reply, 4), Number(reply, 5)}, {Number(reply, 6), Number(reply, 7), Number(reply, 8)}};
  }
  std::string Tooltip(const char* control) override { return Field(Ask({"tooltip", control}), 0); }
  void UseDarkColours() override { Ask({"dark"}); }

 private:
  // Sends one command; gives the reply's fields after "ok".
  std::vector<std::string> Ask(const std::vector<std::string>& command) {
    std::string line;
    for (const std::string& field : command) line += (line.empty() ? "" : "\t") + field;
    WritePipe(commands_, (line + "\n").c_str());
    std::size_t end;
    while ((end = unread_.find('\n')) == std::string::npos) {
      char buffer[4096];
      const int size = ReadPipe(replies_, buffer, sizeof buffer);
      if (size <= 0) break;
      unread_.append(buffer, static_cast<std::size_t>(size));
    }
    const std::string reply = unread_.substr(0, end);
    unread_.erase(0, end == std::string::npos ? end : end + 1);
    std::vector<std::string> fields = Fields(reply);
    if (fields.front() != "ok") {
      errors.push_back(command.front() + ": " + (fields.size() > 1 ? fields[1] : "no reply"));
      return {};
    }
    fields.erase(fields.begin());
    return fields;
  }
  static std::string Field(const std::vector<std::string>& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : "";
  }
  static int Number(const std::vector<std::string>& fields, std::size_t index) {
    return std::atoi(Field(fields, index).c_str());
  }

  int commands_;
  int replies_;
  std::string unread_;
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
  int failed = 0, played = 0;
  for (const Scenario& scenario : WindowScenarios()) {
    driver.errors.clear();
    std::vector<std::string> faults = Play(driver, scenario);
    faults.insert(faults.end(), driver.errors.begin(), driver.errors.end());
    ++played;
    if (faults.empty()) continue;
    ++failed;
    std::printf("FAILED: %s\n", scenario.name.c_str());
    for (const std::string& fault : faults) std::printf("  %s\n", fault.c_str());
  }
  std::printf("%d of %d scenarios passed\n", played - failed, played);
  return failed == 0 ? 0 : 1;
}
