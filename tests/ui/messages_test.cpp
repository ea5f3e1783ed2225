#include "ui/messages.h"

#include <gtest/gtest.h>

#include <string>

namespace velsona::ui {
namespace {

using calc::Failed;
using calc::FailureKind;

TEST(FailureMessage, SaysWhatWentWrongInWordsTheUserKnows) {
  const struct {
    const char* what;
    FailureKind kind;
    const char* field;
    std::string text;
    const char* separator;
    const char* message;
  } rows[] = {
      // The separator is advised only where the text reads as a number with the other one.
      {"lone minus in dB", FailureKind::TypeMismatch, "DBSens1", "-", ".",
       "Il testo \"-\" del campo \"Sensibilità in dB, rif. 1 V/Pa\" non è un numero."},
      {"comma under a point", FailureKind::TypeMismatch, "MVSens2", "7,5", ".",
       "Il testo \"7,5\" del campo \"Sensibilità in mV/Pa\" non è un numero: usare il punto come separatore decimale."},
      {"grouping under a point reads with a comma", FailureKind::TypeMismatch, "MVSens2", "1,00", ".",
       "Il testo \"1,00\" del campo \"Sensibilità in mV/Pa\" non è un numero: usare il punto come separatore "
       "decimale."},
      {"point under a comma reads under either", FailureKind::TypeMismatch, "SELFNOISE", "1.5.", ",",
       "Il testo \"1.5.\" del campo \"Rumore proprio in dB SPL\" non è un numero."},
      {"letters in max SPL under a comma", FailureKind::TypeMismatch, "MAXSPL", "abc", ",",
       "Il testo \"abc\" del campo \"Pressione sonora massima in dB SPL\" non è un numero."},
      {"empty field", FailureKind::TypeMismatch, "DBSens1", "", ",",
       "Il campo \"Sensibilità in dB, rif. 1 V/Pa\" è vuoto: scrivere un numero."},
      {"three blanks", FailureKind::TypeMismatch, "MAXSPL", "   ", ".",
       "Il campo \"Pressione sonora massima in dB SPL\" contiene solo spazi: scrivere un numero."},
      {"one blank under a comma", FailureKind::TypeMismatch, "DBSens1", " ", ",",
       "Il campo \"Sensibilità in dB, rif. 1 V/Pa\" contiene solo spazi: scrivere un numero."},
      {"too large", FailureKind::Overflow, "DBSens1", "1e99999", ".",
       "Numero troppo grande: il risultato non si può calcolare."},
      {"division by zero", FailureKind::DivisionByZero, "MVSens2", "1", ".",
       "Divisione per zero: il risultato non si può calcolare."},
      {"invalid operation", FailureKind::InvalidOperation, "MVSens2", "1e-310", ".",
       "Operazione non valida: il risultato non si può calcolare."},

      // Pasted between two digits, where no reading of blanks makes them a number.
      {"line feed", FailureKind::TypeMismatch, "MVSens2", "1\n2", ".",
       "Il testo \"1⏎2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"carriage return and line feed", FailureKind::TypeMismatch, "MVSens2", "1\r\n2", ".",
       "Il testo \"1⏎2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"two line feeds", FailureKind::TypeMismatch, "MVSens2", "1\n\n2", ".",
       "Il testo \"1⏎⏎2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"tab", FailureKind::TypeMismatch, "MVSens2", "1\t2", ".",
       "Il testo \"1⇥2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"NUL", FailureKind::TypeMismatch, "MVSens2",
       std::string("1\0"
                   "2",
                   3),
       ".", "Il testo \"1␀2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"escape", FailureKind::TypeMismatch, "MVSens2",
       "1\x1b"
       "2",
       ".", "Il testo \"1␛2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"delete", FailureKind::TypeMismatch, "MVSens2",
       "1\x7f"
       "2",
       ".", "Il testo \"1␡2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"next line", FailureKind::TypeMismatch, "MVSens2",
       "1\xC2\x85"
       "2",
       ".", "Il testo \"1⏎2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"line separator", FailureKind::TypeMismatch, "MVSens2",
       "1\u2028"
       "2",
       ".", "Il testo \"1⏎2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"other C1 control", FailureKind::TypeMismatch, "MVSens2",
       "1\xC2\x90"
       "2",
       ".", "Il testo \"1\\u00902\" del campo \"Sensibilità in mV/Pa\" non è un numero."},

      // Spaces from a web page or a formatted cell are blanks around a number
      // only; the invisible characters and those that turn text around show
      // as their codes, so the quoted text is what was typed.
      {"no-break spaces only", FailureKind::TypeMismatch, "MAXSPL", "\u00A0\u3000", ".",
       "Il campo \"Pressione sonora massima in dB SPL\" contiene solo spazi: scrivere un numero."},
      {"thin space inside", FailureKind::TypeMismatch, "MVSens2",
       "1\u2009"
       "2",
       ".", "Il testo \"1\\u20092\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"right-to-left override", FailureKind::TypeMismatch, "MVSens2",
       "1\u202E"
       "2",
       ".", "Il testo \"1\\u202E2\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"zero-width space before", FailureKind::TypeMismatch, "MVSens2",
       "\u200B"
       "12",
       ".", "Il testo \"\\u200B12\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"isolate and soft hyphen", FailureKind::TypeMismatch, "MVSens2",
       "\u2067"
       "1\u00AD",
       ".", "Il testo \"\\u20671\\u00AD\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"tag character", FailureKind::TypeMismatch, "MVSens2", "1\U000E0041", ".",
       "Il testo \"1\\U000E0041\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
      {"not UTF-8", FailureKind::TypeMismatch, "MVSens2", "1\xFF", ".",
       "Il testo \"1\\xFF\" del campo \"Sensibilità in mV/Pa\" non è un numero."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(FailureMessage(Failed{row.kind}, row.field, row.text, platform::NumberFormat{row.separator}),
              row.message);
  }
}

}  // namespace
}  // namespace velsona::ui
