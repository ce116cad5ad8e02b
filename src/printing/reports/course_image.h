// The course image: the description sheet of one course drawn into a picture, exactly as the
// printed course sheets draw it, for the window that shows it and for saving it as a file.
//
// On the picture one grid unit is s ÷ 10 pixels (a third of the printed size); the margins are
// half a cell on the left and the top.
#pragma once

#include <QImage>

#include "base/text.h"
#include "competition/records/class_rec.h"
#include "competition/records/definition_recs.h"

namespace olbrax::print {

struct CourseImageGrid {
  int scale = 10;
  int leftm = 0, topm = 0;
  // The x of cell column k (k < 0: the text position 5 units inside cell |k|).
  int ImageX(int k) const;
  // The y of cell row r; one row is 48 units high.
  int ImageY(int r) const;
};

// The grid of a course image at the competition's scale, with its margins.
CourseImageGrid MakeCourseImageGrid();

// The window caption: the course name, the class name and the symbol size (cut to 80
// characters), then "   (möjlighet att spara bild på fil vid stängning)".
Text CourseImageCaption(const TTrackRec& course, const TKlassRec& klass);

// Draws the sheet of `course`: the title row with the course name and length, a row per
// control, the closing row. Needs the definition set open; shows "Initierar" while the class–
// course table and the special symbols are made. A read that fails in the storage engine is kept
// for ShowReadFailure; the picture then lacks what could not be read.
QImage DrawCourseImage(const TTrackRec& course);

}  // namespace olbrax::print
