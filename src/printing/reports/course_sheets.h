// Course sheets on the print job: up to 8 courses side by side, each with its classes above it,
// a title row, its controls in running order and a closing row.
#pragma once

#include "competition/records/class_rec.h"
#include "competition/records/definition_recs.h"

namespace olbrax::print {

// The class lines and the course line above n sheets (`classes` null: without classes). With
// `print` false it only measures. Returns the height of these lines in dots.
int SheetHeader(bool print, int n, const TTrackRec* courses, const TKlassRec* classes);

// The sheets of n courses (with their classes when `classes` is not null) side by side.
void CourseSheets(int n, const TTrackRec* courses, const TKlassRec* classes);

// The title of a sheet in cell 1: with a class, the class name, after the class's leg order of
// the chosen stage and "-" when the competition has several stages and the class has one;
// without a class the course name.
Text SheetTitle(const TTrackRec& course, const TKlassRec* klass);

}  // namespace olbrax::print
