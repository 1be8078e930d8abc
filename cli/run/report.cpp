#include "cli/run/report.h"

namespace cli {

std::unique_ptr<RunSink> makeReport(ReportFormat format, std::FILE* out,
                                    const RunHeading& heading) {
  if (format == ReportFormat::json) return makeJsonReport(out, heading);
  return makeTableReport(out, format == ReportFormat::trace, heading.signedTimers);
}

void writeReportEnd(ReportFormat format, std::FILE* out, const RunSummary& summary) {
  if (format == ReportFormat::json) {
    writeJsonEnd(out, summary);
  } else {
    writeTableEnd(out, summary);
  }
}

}  // namespace cli
