// The print engine: a line printer with columns on top of a page canvas.
//
// A report runs printerinit, then output calls each preceded by a space check (NeedLines and
// its relatives) that breaks the column or page when needed, then PrintPictures, then
// printerexit. Coordinates are printer dots, origin at the top left of the page, y downwards.
// Every output call does nothing once the job is aborted, so a report loop only tests
// PrAborted to stop early; printerexit still cleans up.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "platform/ui.h"
#include "printing/engine/canvas.h"
#include "printing/engine/job_setup.h"

class QImage;

namespace olbrax::print {

// The print state of the one job that can run at a time.
extern std::uint16_t PrintableWidth, PrintableHeight;
extern std::int32_t LeftMargin, TopMargin, ColumnGap, BottomMargin;
extern std::int32_t Columns, CurrentColumn;
extern std::int32_t CursorX, CursorY;
extern double UsedHeight;
extern std::uint16_t PageNumber, SheetCount;
extern std::uint16_t PictureRight, PictureRowHeight, PictureRowBottom;
extern std::int32_t FooterY;

// The program's folder name, which starts every job title.
inline constexpr std::string_view kApplicationFolderName = "OlbraxW32";

// Job control. printerinit refuses (with the notice kPageTooSmall, before anything is printed) a
// job whose page cannot hold its footer and two lines of its largest font.
inline constexpr std::string_view kPageTooSmall =
    "Sidan rymmer inte utskriftens st\xF6rsta teckensnitt: minska marginalerna eller teckenstorleken i "
    "utskriftsinst\xE4llningen";
bool printerinit(std::string_view title, const JobSetup& setup, platform::Window owner);
void printerexit(int no_footer, int next);
bool PrAborted();
bool PrPrinting();
// Cancels the job (the progress window's Cancel button).
void PrCancel();

// Space checks and breaks.
void NeedLines(std::string_view title, double n);
void NeedSpace(std::string_view title, double h);
bool FitsSpace(bool brk, double h);
bool FitsLines(bool brk, double n);
bool FitsLinesAndSpace(bool brk, double h, double n);
void ColumnBreak(int no_footer, int next, std::string_view title);
void EndPage(int no_footer, int next, std::string_view title);

// Cursor and text.
void TabToChar(int n);
void GotoCharLine(int n, int m);
void TabToDots(int x);
void SetLineY(int y);
void PrintText(std::string_view text);
void PrintLine(std::string_view text);
void PrintRule();
void PrintHeading(std::string_view text);
int CharsPerLine();
int ColumnWidth();
int ColumnLeft();
int PrTextWidth(std::string_view text);
int PrPenY();

// Fonts and positions.
void PushFont(char kind);
void PushGivenFont(const CanvasFont& font);
void PopFont();
void PushPosition();
void PopPosition();
int FontDepth();

// Graphics.
void PrMoveTo(int x, int y);
void PrLineTo(int x, int y, int pen_width);
// False when the picture file cannot be read or decoded: then nothing is drawn.
bool DrawPictureFile(int left, int top, int right, int bottom, std::string_view path);
void DrawBitmap(const QImage& bitmap, double y_factor, double x_factor);
void PrintPictures();

// Progress window.
void ShowProgress(int done, int total);
void ShowStatusLine(int line, std::string_view text);

// The canvas of the running job (null when none), for drawings of reports.
Canvas* PrCanvas();
// The font a job font kind makes (for reports that measure before pushing).
CanvasFont JobCanvasFont(char kind);

// --- Label sheets and payment forms -----------------------------------------------------------

// Switches the job's canvas to tenths of a millimetre with y up (on) or back to dots; false
// when there is no job or its canvas has no such mapping.
bool PrMetricMapping(bool on);
// The low-level new page: no footer, no header, no counters (nothing while aborted).
void PrNewPage();
// Measures or draws text in a box on the job's canvas (Canvas::DrawTextBox); nothing, and the
// box unchanged, while the job is aborted.
void PrTextBox(CanvasRect& box, std::string_view text, unsigned flags);

}  // namespace olbrax::print
