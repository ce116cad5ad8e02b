#include "registers/giro_form_picture.h"

#include <QPainter>

#include "registers/data/giro_record.h"

namespace olbrax {

namespace {

// How many character boxes the forms print for a field set in boxes.
Text BoxSample(int kind, GiroField field) {
  switch (field) {
    case GiroField::Reference: return Text(14, 'X');
    case GiroField::Giro: return Text(10, 'X');
    case GiroField::Amount: return kind == kPostgiro ? "99999999.00" : "999999.00";
    default: return "";
  }
}

const GiroFieldPlace* PlaceOf(int kind, GiroField field) {
  for (const GiroFieldPlace& p : GiroLayout(kind))
    if (p.field == field) return &p;
  return nullptr;
}

// The boxes of a field, in tenths of a millimetre with y down.
std::vector<QRect> FieldBoxes(int kind, const GiroFieldPlace& p) {
  // The layout works with y up from a cell's top; a cell at the origin turns it back.
  CanvasRect first = PlaceInCell(CanvasRect{}, p.x, p.y, p.width, p.height);
  auto rect = [](const CanvasRect& r) { return QRect(QPoint(r.left, -r.top), QPoint(r.right - 1, -r.bottom - 1)); };
  if (p.how == GiroPlacement::Box) return {rect(first)};
  std::vector<QRect> out;
  for (const CharInBox& c : CharBoxesFor(BoxSample(kind, p.field), first, p))
    if (c.c != '.' || p.point_drawn) out.push_back(rect(c.box));
  return out;
}

struct Look {
  QColor paper, ink;
  const char* title;
  const char* captions[7];  // by GiroField
};

Look LookOf(int kind) {
  switch (kind) {
    case kPostgiro:
      return {QColor(255, 232, 196), QColor(150, 80, 20), "POSTGIRO   Inbetalning/Girering   2021.01",
              {"Meddelande", "Betalningsmottagarens adress", "Till postgirokonto", "Betalningsmottagare", "Fr\xC3\xA5n konto",
               "Kronor                   \xC3\xB6re", "Referens"}};
    case kPlusgiro:
      return {QColor(255, 245, 186), QColor(140, 110, 0), "PLUSGIRO   Inbetalning/Girering   2021.02",
              {"Meddelande", "Adress", "Till plusgirokonto", "Betalningsmottagare", "Inbetalarens konto", "Belopp", ""}};
    default:
      return {QColor(218, 236, 222), QColor(30, 100, 60), "BANKGIRO   Inbetalning/Girering",
              {"Meddelande till betalningsmottagaren", "Inbetalare / adress", "Till bankgironummer",
               "Betalningsmottagare", "Fr\xC3\xA5n bankgironummer", "Belopp kronor", ""}};
  }
}

}  // namespace

QRect GiroFieldArea(int kind, GiroField field) {
  const GiroFieldPlace* p = PlaceOf(kind, field);
  if (!p) return {};
  QRect area;
  for (const QRect& r : FieldBoxes(kind, *p)) area = area.united(r);
  return area;
}

QImage GiroFormPicture(int kind, double scale) {
  const Look look = LookOf(kind);
  QImage image(static_cast<int>(kGiroFormWidth * scale), static_cast<int>(kGiroFormHeight * scale),
               QImage::Format_RGB32);
  image.fill(look.paper);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  QFont title("DejaVu Sans");
  title.setPixelSize(36);
  title.setBold(true);
  QFont caption("DejaVu Sans");
  caption.setPixelSize(20);
  p.setPen(look.ink);
  p.setFont(title);
  p.drawText(QPoint(110, 45), QString::fromUtf8(look.title));

  for (const GiroFieldPlace& place : GiroLayout(kind)) {
    std::vector<QRect> boxes = FieldBoxes(kind, place);
    QRect area;
    for (const QRect& r : boxes) area = area.united(r);
    p.setPen(QPen(look.ink, 3));
    p.setBrush(Qt::white);
    for (const QRect& r : boxes) p.drawRect(r.adjusted(-4, -4, 4, 4));
    p.setFont(caption);
    p.drawText(QPoint(area.left() - 4, area.top() - 7),
               QString::fromUtf8(look.captions[static_cast<int>(place.field)]));
  }
  // The machine-readable line at the foot of every form is not written on by hand.
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(QRect(0, 880, kGiroFormWidth, kGiroFormHeight - 880));
  p.setPen(look.ink);
  p.setFont(caption);
  p.drawText(QPoint(110, 950), QString::fromUtf8("Maskinl\xC3\xA4sbar rad \xE2\x80\x93 skriv inte h\xC3\xA4r"));
  return image;
}

}  // namespace olbrax
