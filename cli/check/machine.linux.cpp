// Linux has no profile reader of its own: the project's model alone answers there. A terminal
// window stays open after its program ends, so the checker never owns one, and a terminal does
// not say when a key comes up, so it measures no press.
#include "cli/check/machine.h"

namespace cli {
namespace {

class LinuxMachine : public Machine {
 public:
  std::optional<SystemKind> system() override { return std::nullopt; }
  std::optional<SystemReading> readSettings(const std::filesystem::path& /*file*/) override {
    return std::nullopt;
  }
  bool ownsConsoleWindow() override { return false; }
  // A terminal tells when a key goes down, never when it comes up: no press can be measured.
  bool readPresses(const std::function<bool(const PressEvent&)>& /*onEvent*/) override {
    return false;
  }
};

}  // namespace

Machine& thisMachine() {
  static LinuxMachine machine;
  return machine;
}

}  // namespace cli
