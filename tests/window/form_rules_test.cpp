// The window rules every backend shares: what a control table may not hold,
// how a call naming the wrong control is answered (the program stops), where
// Tab goes from a control, the loop that shrinks a result's font, what a
// screen reader is told of changed results, and what a paste comes to. (The
// orders controls are made, read and reached in, and a result's tooltip, are
// checked on each window by the shared scenarios.)

#include "platform/window/form_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/window/announcements.h"

namespace velsona::platform {
namespace {

ControlSpec Control(const char* name, ControlKind kind, const char* frame, int tabIndex = 0) {
  return {name, kind, frame, 0, 0, 100, 100, "", 8, Alignment::Left, 0, {}, tabIndex};
}

// A small window: a frame holding, in table order, a check box, a button,
// a caption, a result and a text box.
std::vector<ControlSpec> SmallTable() {
  return {Control("Tick", ControlKind::CheckBox, "Box", 2), Control("Go", ControlKind::Button, "Box", 1),
          Control("Caption", ControlKind::CaptionLabel, "Box", 3), Control("Box", ControlKind::Frame, "", 5),
          Control("Result", ControlKind::ResultField, "Box", 4), Control("Entry", ControlKind::TextBox, "Box", 0)};
}

TEST(ControlTable, RefusesEveryKindOfMistake) {
  struct Case {
    const char* mistake;
    void (*spoil)(std::vector<ControlSpec>&);
  };
  const Case cases[] = {
      {"no name", [](auto& t) { t[0].name = ""; }},
      {"a null name", [](auto& t) { t[0].name = nullptr; }},
      {"a null text", [](auto& t) { t[0].text = nullptr; }},
      {"a name twice", [](auto& t) { t[1].name = "Tick"; }},
      {"a frame naming no control", [](auto& t) { t[0].frame = "Nowhere"; }},
      {"a frame that is not a frame", [](auto& t) { t[0].frame = "Go"; }},
      {"a control outside any frame", [](auto& t) { t[0].frame = ""; }},
      {"a frame in a frame", [](auto& t) { t.push_back(Control("Inner", ControlKind::Frame, "Box")); }},
      {"two tab stops at one index", [](auto& t) { t[0].tabIndex = 1; }},
      {"no width", [](auto& t) { t[0].width = 0; }},
      {"a negative height", [](auto& t) { t[0].height = -1; }},
      {"no font size", [](auto& t) { t[0].fontPoints = 0; }},
      {"a length limit on a button", [](auto& t) { t[1].maxLength = 3; }},
      {"a negative length limit", [](auto& t) { t[5].maxLength = -1; }},
  };
  EXPECT_EQ(ControlTable::FirstMistake(SmallTable()), std::nullopt);
  for (const Case& c : cases) {
    std::vector<ControlSpec> table = SmallTable();
    c.spoil(table);
    EXPECT_NE(ControlTable::FirstMistake(table), std::nullopt) << c.mistake;
  }
}

TEST(ControlTable, TellsACallOnTheWrongControl) {
  const ControlTable table(SmallTable());
  struct Case {
    const char* name;
    Use use;
    bool allowed;
  };
  const Case cases[] = {
      {"Entry", Use::ReadText, true},    {"Result", Use::ReadText, true},   {"Caption", Use::ReadText, false},
      {"Result", Use::WriteText, true},  {"Entry", Use::WriteText, false},  {"Caption", Use::WriteText, false},
      {"Tick", Use::ReadCheck, true},    {"Go", Use::ReadCheck, false},     {"Go", Use::Click, true},
      {"Tick", Use::Click, true},        {"Caption", Use::Click, false},    {"Box", Use::Click, false},
      {"Missing", Use::ReadText, false}, {"entry", Use::ReadText, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(table.Misuse(c.name, c.use).has_value(), !c.allowed) << c.name;
    if (c.allowed) {
      EXPECT_STREQ(table[table.Find(c.name, c.use)].name, c.name);
    }
  }
}

TEST(ControlTable, TabFromAControlThatIsNoStopGoesOnByTabIndex) {
  // (From one stop to the next, and round or out, the Tab scenarios go on every window.)
  std::vector<ControlSpec> controls = SmallTable();
  controls[0].tabIndex = 5;  // stops Entry (0), Go (1), Tick (5); Result (4) between the last two
  const ControlTable table(controls);
  const std::size_t tick = 0, go = 1, result = 4, entry = 5;
  const struct {
    std::optional<std::size_t> from;
    bool backwards, round;
    std::optional<std::size_t> to;
  } cases[] = {{result, false, true, tick},        {result, true, true, go},          {std::nullopt, false, true, entry},
               {std::nullopt, true, true, tick},   {result, false, false, tick},      {tick, false, false, std::nullopt},
               {entry, true, false, std::nullopt}, {tick, false, true, entry}};
  for (const auto& c : cases) {
    EXPECT_EQ(table.NextTabStop(c.from, c.backwards, c.round), c.to) << c.from.value_or(99) << " " << c.round;
  }
}

TEST(FittingFontSize, ShrinksByStepsUntilTheTextFits) {
  // A text as wide as ten times the size.
  const auto width = [](double size) { return 10 * size; };
  struct Case {
    double own, room, expected;
  };
  const Case cases[] = {
      {12, 120, 12},     // fits in its own size
      {12, 119, 11.75},  // one step smaller
      {12, 100, 10},     // several
      {12, 10, 4},       // never below the smallest
      {12, 40.1, 4},     // the smallest, which fits
      {3, 10, 3},        // already below the smallest: left as it is
  };
  for (const Case& c : cases) EXPECT_EQ(FittingFontSize(c.own, c.room, 4, 0.25, width), c.expected) << c.room;
  // In whole pixels, as one backend counts.
  EXPECT_EQ(FittingFontSize(16, 145, 5, 1, width), 14);
}

// Misuse stops the program, with a message naming what was misused. (Not
// under Wine, where each death test would start the program again, nor
// where the build has no death tests, as under node.)
TEST(Misuse, StopsTheProgramSayingWhy) {
#ifdef _WIN32
  GTEST_SKIP() << "a new process per case";
#endif
  std::vector<ControlSpec> twice = SmallTable();
  twice[1].name = "Tick";
  EXPECT_DEATH_IF_SUPPORTED(ControlTable{twice}, "control \"Tick\" appears twice");
  const ControlTable table(SmallTable());
  EXPECT_DEATH_IF_SUPPORTED(table.Find("Caption", Use::Click), "control \"Caption\" is a caption");
  EXPECT_DEATH_IF_SUPPORTED(FittingFontSize(12, 1, 4, 0, [](double size) { return size; }), "step must be positive");
}

TEST(Announcements, TellTheNetChangeOfEachFieldInOneUtterance) {
  struct Change {
    const char* name;
    const char* before;
    const char* after;
  };
  struct Case {
    std::vector<Change> changes;
    const char* expected;
  };
  const Case cases[] = {
      {{}, ""},
      {{{"Risultato", "", "4,4668"}}, "Risultato: 4,4668"},
      {{{"Gamma", "", "115"}, {"Rapporto", "", "79"}}, "Gamma: 115. Rapporto: 79"},
      {{{"Gamma", "115", "115"}, {"Rapporto", "79", "80"}}, "Rapporto: 80"},
      {{{"Risultato", "4,4668", ""}}, "Risultato: nessun valore"},
      {{{"Risultato", "10", ""}, {"Risultato", "", "10"}}, ""},
      {{{"Risultato", "10", ""}, {"Risultato", "", "4"}}, "Risultato: 4"},
      {{{"Risultato", "", "10"}, {"Risultato", "10", ""}}, ""},
      {{{"", "", "10"}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    Announcements announcements;
    for (const Change& change : c.changes) announcements.Changed(change.name, change.before, change.after);
    EXPECT_EQ(announcements.Take(), c.expected);
    EXPECT_EQ(announcements.Take(), "") << "told twice";
  }
}

TEST(Paste, DropsTheBlanksAroundAndTakesTheRestWholeOrNotAtAll) {
  using Kind = PasteOutcome::Kind;
  const struct {
    const char* what;
    std::string text;
    std::size_t from, to;  // the selection, in UTF-16 units
    std::string pasted;
    int limit;
    Kind kind;
    std::string after;  // the text after the paste, or the count in the refusal
    std::size_t caret;
  } rows[] = {
      {"a spreadsheet cell", "", 0, 0, "\t-47\n", 3, Kind::Inserted, "-47", 3},
      {"into the middle", "12", 1, 1, "\xC2\xA0" "3\xE2\x80\xAF", 3, Kind::Inserted, "132", 2},
      {"a selection made backwards", "-40", 3, 1, "5", 3, Kind::Inserted, "-5", 2},
      {"blanks inside are kept", "", 0, 0, " 1 2 ", 4, Kind::Inserted, "1 2", 3},
      {"the minus sign is one unit", "", 0, 0, "\xE2\x88\x92" "47", 3, Kind::Inserted, "\xE2\x88\x92" "47", 3},
      {"after a minus sign", "\xE2\x88\x92" "4", 1, 1, "7", 3, Kind::Inserted, "\xE2\x88\x92" "74", 2},
      {"a character beyond 16 bits is two units", "", 0, 0, "\xF0\x9D\x9F\x8F" "1", 3, Kind::Inserted,
       "\xF0\x9D\x9F\x8F" "1", 3},
      {"no limit", "1", 1, 1, "234567", 0, Kind::Inserted, "1234567", 7},
      {"blanks only, kept to be told of", "12", 0, 2, "\r\n", 3, Kind::Inserted, "\r\n", 2},
      {"nothing", "12", 0, 2, "", 3, Kind::Nothing, "", 0},
      {"a decimal cut short", "", 0, 0, "-47,5", 3, Kind::Refused, "ne servirebbero 5", 0},
      {"beside what is there", "-40", 3, 3, "5", 3, Kind::Refused, "ne servirebbero 4", 0},
      {"two units over the limit", "", 0, 0, "\xF0\x9D\x9F\x8F" "12", 3, Kind::Refused, "ne servirebbero 4", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const PasteOutcome outcome = Paste(row.text, row.from, row.to, row.pasted, row.limit, "Campo");
    EXPECT_EQ(outcome.kind, row.kind);
    if (row.kind == Kind::Inserted) {
      EXPECT_EQ(outcome.text, row.after);
      EXPECT_EQ(outcome.caret, row.caret);
    }
    if (row.kind == Kind::Refused) {
      EXPECT_NE(outcome.message.find(row.after), std::string::npos) << outcome.message;
    }
  }
  EXPECT_EQ(Paste("", 0, 0, "-47,5", 3, "Sensibilit\xC3\xA0").message,
            "Il testo incollato non entra nel campo \"Sensibilit\xC3\xA0\", che accetta al massimo 3 caratteri (ne "
            "servirebbero 5): il campo resta com'era.");
}

}  // namespace
}  // namespace velsona::platform
