// SVG written by hand: numbers in fixed point, so that every platform writes the same bytes,
// text escaped and cut to a readable length, and the few shapes the timeline draws.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// One decimal at most, no trailing ".0".
std::string svgNumber(double value);
// Text or attribute content: shown as the terminal would show it, then escaped.
std::string svgText(std::string_view text);

class SvgWriter {
 public:
  // `tip`, when not empty, is a tooltip; `extra`, more attributes as written.
  void rect(double left, double top, double width, double height, std::string_view fill,
            const std::string& tip, const std::string& extra = "");
  void text(double left, double baseline, const std::string& words, const std::string& extra = "");
  void line(double x1, double y1, double x2, double y2, std::string_view stroke,
            const std::string& extra = "", const std::string& tip = "");
  const std::string& body() const { return body_; }

 private:
  std::string body_;
};

}  // namespace cli
