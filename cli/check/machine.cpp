#include "cli/check/machine.h"

namespace cli {
namespace {

// This system's reader, console and presses, as the per-platform files answer.
class ThisMachine : public Machine {
 public:
  std::optional<SystemKind> system() override { return thisSystemKind(); }
  std::optional<SystemReading> readSettings(const std::filesystem::path& file) override {
    return readBySystemReader(file);
  }
  bool ownsConsoleWindow() override { return ownsThisConsoleWindow(); }
  bool readPresses(const std::function<bool(const PressEvent&)>& onEvent) override {
    return readConsolePresses(onEvent);
  }
};

}  // namespace

Machine& thisMachine() {
  static ThisMachine machine;
  return machine;
}

}  // namespace cli
