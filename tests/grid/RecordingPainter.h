#pragma once
// A painter that writes every drawing call as one line, for the drawing rules of the cell
// types without a display.
#include <string>
#include <vector>
#include <wx/string.h>

#include "grid/GridPainter.h"

class RecordingPainter : public CGridPainter {
 public:
  std::vector<std::string> calls;
  bool nativeAnswer = true;
  int buttonWidth = 16;

  void SetPen(GridColour c, int w) override { Add("pen " + Hex(c)); }
  void SetNoPen() override { Add("nopen"); }
  void SetBrush(GridColour c) override { Add("brush " + Hex(c)); }
  void SetNoBrush() override { Add("nobrush"); }
  void PatternFill(const GridRect& r, GridColour a, GridColour b) override { Add("pattern " + R(r)); }
  void Line(int x1, int y1, int x2, int y2) override {
    Add("line " + std::to_string(x1) + "," + std::to_string(y1) + "-" + std::to_string(x2) + "," + std::to_string(y2));
  }
  void Polyline(const GridPoint* p, int n) override {
    std::string s = "poly";
    for (int i = 0; i < n; ++i) s += " " + std::to_string(p[i].x) + "," + std::to_string(p[i].y);
    Add(s);
  }
  void Rectangle(const GridRect& r) override { Add("rect " + R(r)); }
  void Ellipse(const GridRect& r) override { Add("ellipse " + R(r)); }
  void FillRect(const GridRect& r, GridColour c) override { Add("fill " + R(r) + " " + Hex(c)); }
  void SetFont(int f) override { Add("font " + std::to_string(f)); }
  void SetTextColour(GridColour c) override { Add("textcolour " + Hex(c)); }
  GridPoint TextExtent(const wxString& t) override { return GridPoint{static_cast<int>(t.length()) * 7, 14}; }
  void Text(const wxString& t, int x, int y, const GridRect& clip) override {
    Add("text '" + t.ToStdString() + "' " + std::to_string(x) + "," + std::to_string(y));
  }
  wxString Ellipsize(const wxString& t, int w) override { return t; }
  void Image(const std::shared_ptr<const GridImage>& i, int x, int y, int w, int h, int shown) override {
    Add("image " + std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" + std::to_string(h));
  }
  int ButtonWidth() override { return buttonWidth; }
  bool NativePart(int part, int state, const GridRect& r) override {
    Add("native " + std::to_string(part) + " " + std::to_string(state));
    return nativeAnswer;
  }
  void FocusRect(const GridRect& r) override { Add("focus " + R(r)); }

  bool Has(const std::string& prefix) const {
    for (const std::string& c : calls)
      if (c.rfind(prefix, 0) == 0) return true;
    return false;
  }

 private:
  void Add(const std::string& s) { calls.push_back(s); }
  static std::string R(const GridRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
  }
  static std::string Hex(GridColour c) {
    char b[16];
    snprintf(b, sizeof b, "%08x", c);
    return b;
  }
};
