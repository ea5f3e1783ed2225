#pragma once

#include <QApplication>
#include <QPalette>

namespace velsona::tests {

// The application's palette is `palette` for as long as this lives, and the
// one before it again afterwards, however the test that set it ends.
class ScopedPalette {
 public:
  explicit ScopedPalette(const QPalette& palette) : before_(QApplication::palette()) {
    QApplication::setPalette(palette);
  }
  ~ScopedPalette() { QApplication::setPalette(before_); }
  ScopedPalette(const ScopedPalette&) = delete;
  ScopedPalette& operator=(const ScopedPalette&) = delete;

 private:
  QPalette before_;
};

}  // namespace velsona::tests
