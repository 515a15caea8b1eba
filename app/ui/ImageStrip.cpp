#include "app/ui/ImageStrip.h"

#include <algorithm>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/log.h>
#include <wx/image.h>

namespace {


class Painter {
 public:
  Painter(wxDC& dc, int size) : m_dc(dc), m_u(size / 16.0) {}
  int U(double v) const { return static_cast<int>(v * m_u + 0.5); }

  void Box(double x, double y, double w, double h, const wxColour& fill, const wxColour& line) {
    m_dc.SetBrush(wxBrush(fill));
    m_dc.SetPen(wxPen(line));
    m_dc.DrawRectangle(U(x), U(y), std::max(1, U(w)), std::max(1, U(h)));
  }
  void Poly(std::initializer_list<wxPoint> pts, const wxColour& fill, const wxColour& line) {
    std::vector<wxPoint> scaled;
    for (const wxPoint& p : pts) scaled.emplace_back(U(p.x), U(p.y));
    m_dc.SetBrush(wxBrush(fill));
    m_dc.SetPen(wxPen(line));
    m_dc.DrawPolygon(static_cast<int>(scaled.size()), scaled.data());
  }
  void Line(double x1, double y1, double x2, double y2, const wxColour& c) {
    m_dc.SetPen(wxPen(c, std::max(1, U(1))));
    m_dc.DrawLine(U(x1), U(y1), U(x2), U(y2));
  }
  void Circle(double x, double y, double r, const wxColour& fill, const wxColour& line) {
    m_dc.SetBrush(wxBrush(fill));
    m_dc.SetPen(wxPen(line));
    m_dc.DrawCircle(U(x), U(y), std::max(1, U(r)));
  }
  void Letter(const wxString& text, const wxColour& colour, double x = 0, double y = 0, double w = 16, double h = 16) {
    wxFont font(wxFontInfo(std::max(5, U(8))).Bold().Family(wxFONTFAMILY_SWISS));
    m_dc.SetFont(font);
    m_dc.SetTextForeground(colour);
    wxCoord tw = 0, th = 0;
    m_dc.GetTextExtent(text, &tw, &th);
    m_dc.DrawText(text, U(x) + (U(w) - tw) / 2, U(y) + (U(h) - th) / 2);
  }
  // A rounded tile with a letter: the look of most leaf objects.
  void Tile(const wxString& text, const wxColour& fill) {
    m_dc.SetBrush(wxBrush(fill));
    m_dc.SetPen(wxPen(fill.ChangeLightness(60)));
    m_dc.DrawRoundedRectangle(U(1), U(1), U(14), U(14), std::max(1, U(3)));
    Letter(text, *wxWHITE);
  }
  void Folder(bool open) {
    const wxColour body(236, 190, 64), edge(150, 110, 20);
    Poly({{1, 3}, {6, 3}, {7, 5}, {15, 5}, {15, 14}, {1, 14}}, body, edge);
    if (open) Poly({{3, 8}, {16, 8}, {14, 14}, {1, 14}}, body.ChangeLightness(125), edge);
  }
  void Page(const wxColour& line) {
    Poly({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, *wxWHITE, wxColour(90, 90, 90));
    for (int y = 5; y <= 12; y += 2) Line(5, y, 11, y, line);
  }

 private:
  wxDC& m_dc;
  double m_u;
};

void Draw(Painter& p, int index) {
  const wxColour dark(60, 60, 60), blue(40, 90, 180), green(40, 140, 60), grey(128, 128, 128);
  switch (index) {
    case IMG_DOCUMENT: p.Page(grey); break;
    case IMG_DEVICE:
      p.Box(1, 2, 14, 10, dark, dark);
      p.Box(2.5, 3.5, 11, 7, wxColour(90, 160, 230), wxColour(90, 160, 230));
      p.Box(6, 12, 4, 2, dark, dark);
      p.Box(4, 14, 8, 1, dark, dark);
      break;
    case IMG_NETWORK:
      p.Line(4, 4, 12, 4, dark);
      p.Line(8, 4, 8, 12, dark);
      p.Box(1, 2, 5, 4, blue, dark);
      p.Box(10, 2, 5, 4, blue, dark);
      p.Box(5.5, 11, 5, 4, blue, dark);
      break;
    case IMG_FOLDER: p.Folder(false); break;
    case IMG_FOLDER_OPEN: p.Folder(true); break;
    case IMG_PLACEHOLDER: p.Circle(8, 8, 2, grey, grey); break;
    case IMG_MASK:
      p.Box(1, 2, 14, 12, *wxWHITE, blue);
      p.Box(1, 2, 14, 3, blue, blue);
      break;
    case IMG_BITMAP:
    case IMG_ELEM_PICTURE:
      p.Box(1, 2, 14, 12, wxColour(200, 230, 250), dark);
      p.Poly({{2, 13}, {7, 7}, {10, 10}, {12, 8}, {14, 13}}, green, green);
      p.Circle(11, 5, 1.5, wxColour(250, 200, 0), wxColour(250, 200, 0));
      break;
    case IMG_FONT: p.Tile("A", wxColour(70, 70, 120)); break;
    case IMG_TRUETYPE_FONT: p.Tile("T", wxColour(70, 70, 120)); break;
    case IMG_FONT_FOLDER:
      p.Folder(false);
      p.Letter("A", dark, 2, 5, 13, 9);
      break;
    case IMG_TEXT: p.Page(blue); break;
    case IMG_DATAPOINT: p.Poly({{8, 1}, {15, 8}, {8, 15}, {1, 8}}, wxColour(240, 140, 30), wxColour(150, 80, 10)); break;
    case IMG_SIMULATION: p.Tile("S", wxColour(120, 60, 160)); break;
    case IMG_GRAPH_PROGRAM: p.Tile("G", wxColour(30, 120, 130)); break;
    case IMG_PROGRAM: p.Tile("P", wxColour(90, 90, 90)); break;
    case IMG_SIMULATION_SOURCE: p.Page(wxColour(120, 60, 160)); break;
    case IMG_ELEM_TEXT: p.Letter("T", dark); break;
    case IMG_ELEM_EDIT:
      p.Box(1, 4, 14, 8, *wxWHITE, dark);
      p.Line(4, 6, 4, 10, dark);
      break;
    case IMG_ELEM_BUTTON:
      p.Box(1, 4, 14, 8, wxColour(210, 210, 210), dark);
      p.Line(2, 11, 14, 11, grey);
      break;
    case IMG_ELEM_BARGRAPH:
      p.Box(2, 8, 3, 7, blue, blue);
      p.Box(7, 4, 3, 11, blue, blue);
      p.Box(12, 10, 3, 5, blue, blue);
      break;
    case IMG_DATALOGGER:
      p.Box(1, 2, 14, 12, *wxWHITE, dark);
      p.Line(2, 11, 6, 6, green);
      p.Line(6, 6, 9, 9, green);
      p.Line(9, 9, 14, 4, green);
      break;
    case IMG_ELEM_COMBOBOX:
      p.Box(1, 4, 14, 8, *wxWHITE, dark);
      p.Poly({{10, 7}, {14, 7}, {12, 10}}, dark, dark);
      break;
    case IMG_RECIPE_DEF: p.Tile("R", wxColour(140, 90, 40)); break;
    case IMG_RECIPE: p.Tile("r", wxColour(170, 120, 60)); break;
    case IMG_CODESYS: p.Tile("C", wxColour(190, 40, 40)); break;
    case IMG_ELEM_TOUCHKEY: p.Tile("K", wxColour(60, 130, 200)); break;
    case IMG_MENU:
    case IMG_ELEM_LIST:
    case IMG_ELEM_LISTBOX:
      p.Box(1, 1, 14, 14, *wxWHITE, dark);
      for (int y = 4; y <= 12; y += 3) p.Line(3, y, 13, y, index == IMG_MENU ? blue : dark);
      break;
    case IMG_ALARM:
      p.Poly({{8, 1}, {15, 14}, {1, 14}}, wxColour(250, 210, 40), dark);
      p.Letter("!", dark, 0, 3, 16, 12);
      break;
    case IMG_PROGRIPS: p.Tile("P", green); break;
    case IMG_PALETTE:
      p.Circle(5, 5, 3, wxColour(230, 60, 60), wxColour(230, 60, 60));
      p.Circle(11, 5, 3, green, green);
      p.Circle(8, 11, 3, blue, blue);
      break;
    case IMG_ELEM_RECTANGLE: p.Box(2, 3, 12, 10, *wxWHITE, dark); break;
    case IMG_ELEM_LINE: p.Line(2, 14, 14, 2, dark); break;
    case IMG_HTML:
      p.Circle(8, 8, 6.5, wxColour(120, 180, 240), blue);
      p.Line(1.5, 8, 14.5, 8, blue);
      p.Line(8, 1.5, 8, 14.5, blue);
      break;
    case IMG_KEYPAD:
    case IMG_KEYPAD_XML:
      for (int y = 1; y < 15; y += 5)
        for (int x = 1; x < 15; x += 5) p.Box(x, y, 4, 4, wxColour(210, 210, 210), dark);
      if (index == IMG_KEYPAD_XML) p.Letter("X", blue, 5, 5, 6, 6);
      break;
    case IMG_PROJECT:
      p.Box(1, 3, 14, 11, blue, blue.ChangeLightness(60));
      p.Box(5, 1, 6, 2, blue.ChangeLightness(60), blue.ChangeLightness(60));
      p.Letter("P", *wxWHITE, 1, 3, 14, 11);
      break;
    case IMG_OBJECT:
    default: p.Tile("?", grey); break;
  }
}

}  // namespace

namespace {

wxImage DrawOn(const wxColour& background, int index, int size) {
  wxBitmap bitmap(size, size, 24);
  {
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(background));
    dc.Clear();
    if (index >= 0 && index < IMG_STRIP_COUNT) {
      Painter painter(dc, size);
      Draw(painter, index);
    }
  }
  return bitmap.ConvertToImage();
}

}  // namespace

wxBitmap StripImage(int index, int size) {
  // Drawn once on black and once on white: where the two differ the background shows
  // through, which gives smooth edges their transparency.
  const wxImage onBlack = DrawOn(*wxBLACK, index, size);
  const wxImage onWhite = DrawOn(*wxWHITE, index, size);
  wxImage out(size, size);
  out.InitAlpha();
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int b[3] = {onBlack.GetRed(x, y), onBlack.GetGreen(x, y), onBlack.GetBlue(x, y)};
      const int w[3] = {onWhite.GetRed(x, y), onWhite.GetGreen(x, y), onWhite.GetBlue(x, y)};
      const int seen = ((w[0] - b[0]) + (w[1] - b[1]) + (w[2] - b[2])) / 3;
      const int alpha = std::clamp(255 - seen, 0, 255);
      unsigned char c[3] = {0, 0, 0};
      if (alpha > 0)
        for (int i = 0; i < 3; ++i) c[i] = static_cast<unsigned char>(std::clamp(b[i] * 255 / alpha, 0, 255));
      out.SetRGB(x, y, c[0], c[1], c[2]);
      out.SetAlpha(x, y, static_cast<unsigned char>(alpha));
    }
  return wxBitmap(out);
}

namespace {

wxBitmap AddedImage(const CImageList::Image& image, int size) {
  wxImage img;
  if (!image.file.empty()) {
    wxLogNull quiet;
    img.LoadFile(image.file);
  } else if (!image.rgba.empty()) {
    img.Create(image.width, image.height);
    img.InitAlpha();
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)) * 4;
        img.SetRGB(x, y, image.rgba[i], image.rgba[i + 1], image.rgba[i + 2]);
        img.SetAlpha(x, y, image.rgba[i + 3]);
      }
  }
  // A picture that cannot be read still takes its index.
  if (!img.IsOk()) return StripImage(IMG_STRIP_COUNT, size);
  if (img.GetWidth() != size || img.GetHeight() != size) img.Rescale(size, size, wxIMAGE_QUALITY_HIGH);
  return wxBitmap(img);
}

}  // namespace

void SyncImageList(wxImageList& target, const CImageList& source) {
  const int size = source.GetPixelSize();
  for (int i = target.GetImageCount(); i < source.GetImageCount(); ++i) {
    if (const CImageList::Image* added = source.GetAdded(i)) target.Add(AddedImage(*added, size));
    else target.Add(StripImage(i, size));
  }
}
