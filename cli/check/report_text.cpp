#include "cli/check/report_text.h"

#include "common/console.h"
#include "common/display_text.h"

namespace cli {

std::string verdict(const CheckReport& report) {
  const size_t problems = report.problems();
  const size_t warnings = report.warnings() - problems;
  const auto says = [](size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
  };
  if (report.heading.empty()) {
    const std::string both = problems > 0 && warnings > 0 ? " and " : "";
    return report.subject + ": " +
           (problems + warnings == 0
                ? std::string("no problems found.")
                : (problems > 0 ? common::counted(problems, "problem") : "") + both +
                      (warnings > 0 ? common::counted(warnings, "warning") : "") + ": " +
                      report.whenWarned);
  }
  if (problems > 0) {
    return says(problems, "problem stops", "problems stop") + " Kestova from working here" +
           (warnings > 0 ? ", and " + common::counted(warnings, "warning") + " more" : "") +
           (problems + warnings == 1 ? ": do what it says" : ": do what each says") +
           ", then start the game.";
  }
  if (warnings > 0) {
    return "Kestova will load here, but " + says(warnings, "warning says", "warnings say") +
           " where it may not do what you meant.";
  }
  return "Kestova is ready: tap the aim control in the game to toggle aiming.";
}

std::string reportText(const CheckReport& report) {
  const std::string answer = verdict(report);
  std::string fixes;
  std::string details;
  for (const Finding& finding : report.findings) {
    if (!finding.fix.empty()) {
      fixes += finding.fix + " " + finding.text + "\n\n";
    } else {
      const Severity severity = finding.severity;
      details += (severity == Severity::note      ? ""
                  : severity == Severity::warning ? "warning: "
                                                  : "problem: ") +
                 finding.text + "\n";
    }
  }
  return (report.heading.empty() ? "" : report.heading + "\n") + answer + "\n\n" + fixes +
         (fixes.empty() ? "" : "Details:\n") + details + "\n" + answer + "\n";
}

common::ExitStatus printCheck(const common::Result<CheckReport>& report, std::FILE* out,
                              std::FILE* err, const std::string& program) {
  if (!report) {
    common::writeError(err, report.error(), program);
    return common::ExitStatus::unreadable;
  }
  common::writeText(out, reportText(*report));
  return report->warnings() == 0 ? common::ExitStatus::success : common::ExitStatus::warnings;
}

}  // namespace cli
