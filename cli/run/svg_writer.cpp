#include "cli/run/svg_writer.h"

#include <cmath>
#include <cstdlib>

#include "common/display_text.h"

namespace cli {

std::string svgNumber(double value) {
  const long long tenths = std::llround(value * 10);
  const long long whole = std::llabs(tenths) / 10;
  const long long tenth = std::llabs(tenths) % 10;
  return (tenths < 0 ? "-" : "") + std::to_string(whole) +
         (tenth != 0 ? "." + std::to_string(tenth) : "");
}

std::string svgText(std::string_view text) {
  std::string escaped;
  for (const char c : common::displayText(text, 300)) {
    escaped += c == '&'   ? "&amp;"
               : c == '<' ? "&lt;"
               : c == '>' ? "&gt;"
               : c == '"' ? "&quot;"
                          : std::string(1, c);
  }
  return escaped;
}

void SvgWriter::rect(double left, double top, double width, double height, std::string_view fill,
                     const std::string& tip, const std::string& extra) {
  body_ += "<rect x=\"" + svgNumber(left) + "\" y=\"" + svgNumber(top) + "\" width=\"" +
           svgNumber(width) + "\" height=\"" + svgNumber(height) + "\" fill=\"" +
           std::string(fill) + "\"" + (extra.empty() ? "" : " " + extra);
  body_ += tip.empty() ? "/>\n" : "><title>" + svgText(tip) + "</title></rect>\n";
}

void SvgWriter::text(double left, double baseline, const std::string& words,
                     const std::string& extra) {
  body_ += "<text x=\"" + svgNumber(left) + "\" y=\"" + svgNumber(baseline) + "\"" +
           (extra.empty() ? "" : " " + extra) + ">" + svgText(words) + "</text>\n";
}

void SvgWriter::line(double x1, double y1, double x2, double y2, std::string_view stroke,
                     const std::string& extra, const std::string& tip) {
  body_ += "<line x1=\"" + svgNumber(x1) + "\" y1=\"" + svgNumber(y1) + "\" x2=\"" + svgNumber(x2) +
           "\" y2=\"" + svgNumber(y2) + "\" stroke=\"" + std::string(stroke) + "\"" +
           (extra.empty() ? "" : " " + extra);
  body_ += tip.empty() ? "/>\n" : "><title>" + svgText(tip) + "</title></line>\n";
}

}  // namespace cli
